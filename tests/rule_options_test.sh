#!/usr/bin/env bash
# The school's rule from the command line: a wrong weight, step or count is a usage error
# (exit 2) that says what is wrong and writes no file; a right one is the rule the summary
# states; a refusal suggests commands quoted for the user's shell. An unsure class dropped on the program asks for its grades and then writes the
# table; double-clicked with no file, it says what to do. Both wait for Enter.
# Usage: rule_options_test.sh -- BOLETIM_TURMA...
. "$(dirname "$0")/frame.sh"
export LC_ALL=C.UTF-8
cd "$work" || fail "no scratch folder"
printf 'Matrícula;Nome;1º Bim;2º Bim;3º Bim;4º Bim;Média final\n%s\n%s\n' \
    '2026001;José;7;8;9;6;7,5' '2026002;Ana;5;6;6;6;5,75' >"meus bimestres.csv"

# A command a message suggests quotes the file as the user's shell does: "..." on Windows.
quoted=$([[ ${program[-1]} == *.exe ]] && echo '"meus bimestres.csv"' || echo "'meus bimestres.csv'")

# status | arguments (split at spaces) | what standard error must say (FILE, as quoted)
while IFS='|' read -r status arguments said; do
    said=${said//FILE/$quoted}
    # shellcheck disable=SC2086 # the arguments are split on purpose
    "${program[@]}" $arguments "meus bimestres.csv" -o out.csv >/dev/null 2>err
    actual=$?
    [ $actual -eq "$status" ] && grep -qF -- "$said" err ||
        fail "$arguments: exit status $actual, said: $(cat err)"
    [ "$status" -eq 0 ] || [ ! -e out.csv ] || fail "$arguments: a refused run wrote out.csv"
    rm -f out.csv
done <<'EOF'
2|--pesos 0,1,1,1|--pesos pede números positivos
2|--pesos -1,1,1,1|--pesos pede números positivos
2|--pesos 1;;2|--pesos pede números positivos
2|--pesos 1,1,1,1001|--pesos pede números positivos
2|--pesos 1.0001,1,1,1|--pesos pede números positivos
2|--pesos 1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1|até 20 pesos
2|--pesos 1,1 -n C,D,E|-n
2|-n C,D --como-boletim|-n
2|--arredondamento 0|--arredondamento pede um passo positivo
2|--arredondamento 11|--arredondamento pede um passo positivo
2|--como-boletim --pesos 1,2,3|não vai com --pesos
2|--como-boletim --arredondamento 1|não vai com --pesos
2||  boletim-turma --pesos 1,1,1,1 FILE -o out.csv
2||  boletim-turma -n C,D,E FILE -o out.csv
2|--pesos 2,3,5|  boletim-turma -n C,D,E --pesos 2,3,5 FILE -o out.csv
0|--pesos 1,1,1,1|regra: pesos 1, 1, 1 e 1; média exata, sem arredondamento
0|--pesos 1,5;2;2,5;1|regra: pesos 1,5; 2; 2,5 e 1; média exata
0|--pesos 1,5,2,3 --arredondamento 0,25|regra: pesos 1, 5, 2 e 3; média exata, arredondada a múltiplos de 0,25
0|--pesos=1.5,2,2.5 -n C,D,E|regra: pesos 1,5; 2 e 2,5; média exata
0|-n C,D,E,F --pesos 1,1,1,1 --arredondamento 0,5|arredondada a múltiplos de 0,5
0|--pesos 1,1,1,1|a média da coluna G confere em 2 alunos
0|--pesos 1,1,1,1 --arredondamento 0.5|a média da coluna G é 5,75, e a calculada, 6,0
0|--pesos 1,1,1,1 --arredondamento 0.5|a média da coluna G confere em 1 aluno e não confere em 1
0|-n C,D,E --como-boletim|regra: como o boletim: pesos 1, 2 e 3, em precisão simples
EOF

# Dropped on the program (in a console of its own, forced here): the answer typed, the
# exit status, and what standard error must say; a table beside the class where 0.
while IFS='|' read -r answer status said; do
    rm -f "meus bimestres-boletins."*
    printf '%s\n\n' "$answer" | BOLETIM_CONSOLE_PROPRIO=1 "${program[@]}" "meus bimestres.csv" \
        >/dev/null 2>err
    actual=$?
    written=$(ls "meus bimestres-boletins."* 2>/dev/null)
    [ $actual -eq "$status" ] && grep -q "Tecle Enter" err && grep -qF -- "$said" err &&
        [ "$([ -n "$written" ] && echo 0 || echo 2)" = "$status" ] ||
        fail "answer '$answer': $actual, wrote '$written', said: $(cat err)"
done <<'EOF'
C,D,E,F|0|regra: pesos 1, 1, 1 e 1
1,1,1,1|0|regra: pesos 1, 1, 1 e 1
c,d,e|0|regra: pesos 1, 2 e 3
|2|A média das 4, com pesos iguais
0,1,1,1|2|--pesos pede números positivos
EOF

# Typed as boletim reads, words separated by blanks: the last ones are the grades, one a
# weight, and the identification may have spaces.
printf 'Ana 7 8 9 6\nBia Souza 5,5 6 6 6\n' |
    "${program[@]}" --pesos 1,1,1,1 --arredondamento 0,5 --ponto 2>err | grep -qx "Bia Souza,5.5,6,6,6,6.0,C,APROVADO" ||
    fail "four grades typed with blanks: $(cat err)"

printf '\n' | BOLETIM_CONSOLE_PROPRIO=1 "${program[@]}" >/dev/null 2>err
[ $? -eq 2 ] && grep -q "arraste a planilha" err && grep -q "Tecle Enter" err ||
    fail "double-clicked with no file: $(cat err)"
echo "ok: the rule's options refused or stated; an unsure file dropped asks"
