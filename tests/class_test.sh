#!/usr/bin/env bash
# boletim-turma --como-boletim computes each student with boletim's own code, so its table
# must say what boletim's report says for the same grades: the grades, the mean, the
# concept and the verdict, on rows made to land on and around the concepts' bounds. The table shows
# each float in full; read back as a float and written with six digits, as boletim
# writes it, it must be boletim's number to the byte. Then where it
# cannot run (an input it cannot open or read, an output it cannot write) it must exit 2
# with a message that names the cause.
# Usage: class_test.sh BOLETIM_TURMA ROWS -- BOLETIM...   (an emulator may come before BOLETIM)
# ROWS students are compared; where each boletim run costs more (under wine), fewer.
. "$(dirname "$0")/frame.sh"
turma=("${program[@]:0:${#program[@]}-1}" "${args[0]}")
rows=${args[1]}
windows=$([[ ${args[0]} == *.exe ]] && echo 1 || echo 0)

# Half the rows aim the decimal mean at a bound, where single precision decides the
# letter; a few grades are written in ways that read back otherwise (-0, 0.5e1, 1e-40).
awk -v rows="$rows" 'BEGIN {
    srand(20261208)
    split("4 6 7.5 9", bounds)
    split("-0 0.5e1 1e-40 3e38 10 0", odd)
    for (row = 1; row <= rows; row++) {
        for (k = 1; k <= 3; k++) {
            grade[k] = sprintf("%." int(rand() * 3) "f", rand() * 10)
            if (rand() < 0.05) grade[k] = odd[int(rand() * 6) + 1]
        }
        if (rand() < 0.5)
            grade[3] = sprintf("%.2f", (6 * bounds[int(rand() * 4) + 1] - grade[1] - 2 * grade[2]) / 3)
        print row, grade[1], grade[2], grade[3]
    }
}' >"$work/rows"
tr ' .' ';,' <"$work/rows" >"$work/class.csv" # as a spreadsheet in Portuguese saves it

"${turma[@]}" --como-boletim --ponto "$work/class.csv" >"$work/table" 2>"$work/err" ||
    fail "exit status $? on a class without errors: $(cat "$work/err")"
# Columns 2 to 5 are the grades and the mean; perl's pack("f") rounds to a float.
tail -n +2 "$work/table" | perl -F, -lane 'for my $i (1 .. 4) {
    $F[$i] = lc sprintf "%g", unpack("f", pack("f", $F[$i])) } print join ",", @F' >"$work/computed"
while read -r id grades; do
    echo "$id $grades" | "${program[@]}" | LC_ALL=C awk -v id="$id" '
        /^- Nota 0/ { grades = grades "," $NF }
        /^- M.dia ponderada/ { mean = $NF }
        /^- Conceito/ { letter = $NF }
        /APROVADO!$/ { verdict = "APROVADO" }
        /REPROVADO!$/ { verdict = "REPROVADO" }
        END { print id grades "," mean "," letter "," verdict }'
done <"$work/rows" >"$work/reported"
cmp -s "$work/reported" "$work/computed" ||
    fail "the table and boletim differ:"$'\n'"$(diff "$work/reported" "$work/computed" | head)"

# Where it cannot run: status 2, and a message that names the cause.
cannot_run() { # the message's words, where the output goes, then the arguments
    "${turma[@]}" "${@:3}" >"$2" 2>"$work/err"
    [ $? -eq 2 ] && grep -qF "$1" "$work/err" || fail "${*:3}: status not 2, or $(cat "$work/err")"
}
cannot_run "abrir '$work/none.csv'" /dev/null "$work/none.csv"

# -o writes to a file what standard output would get, in each of its spellings, and
# refuses the input itself, which stays whole, and a spreadsheet it does not write.
for option in -o -o\  --saida= --saida\ ; do
    out=$work/o${#option}.csv
    rm -f "$out"
    "${turma[@]}" --como-boletim --ponto "$work/class.csv" $option$out 2>/dev/null
    cmp -s "$work/table" "$out" || fail "$option$out does not write the table"
done
cp "$work/class.csv" "$work/class.kept"
ln -s class.csv "$work/link.csv"
for output in "$work/class.csv" "$work/./class.csv" "$work/link.csv"; do
    cannot_run "arquivo de entrada" /dev/null "$work/class.csv" -o "$output"
done
(cd "$work" && "${turma[@]}" class.csv -o ./class.csv 2>/dev/null)
[ $? -eq 2 ] || fail "-o ./class.csv, the input by another name, was not refused"
cmp -s "$work/class.csv" "$work/class.kept" || fail "-o the input itself changed it"
cannot_run "'$work/t.ods'" /dev/null "$work/class.csv" -o "$work/t.ods"
[ -z "$(find "$work" -name '.*.tmp' -o -name t.ods)" ] || fail "a refused -o left a file"
# Interrupted, it leaves no temporary file. A shell starts a program in the background
# with SIGINT ignored, which it keeps; perl gives it back its default first. Windows has
# no signals: its Ctrl+C is a console's, which a test under wine has none of.
[ "$windows" = 0 ] && mkfifo "$work/slow.csv"
for signal in $([ "$windows" = 0 ] && echo INT TERM HUP); do
    sleep 30 >"$work/slow.csv" &
    writer=$!
    perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV' "${turma[@]}" "$work/slow.csv" -o "$work/out.csv" 2>/dev/null &
    for ((wait = 0; wait < 400; wait++)); do
        [ -z "$(find "$work" -name '.out.csv.*.tmp')" ] || break
        sleep 0.05
    done
    kill -$signal $!
    wait $!
    status=$?
    kill $writer
    [ $status -gt 128 ] && [ -z "$(find "$work" -name '.*.tmp' -o -name out.csv)" ] ||
        fail "SIG$signal left $(find "$work" -name '.*.tmp' -o -name out.csv)"
done
cannot_run "erro ao ler '$work'" /dev/null "$work"
cannot_run "escrever a sa" /dev/full "$work/class.csv"
cannot_run "escrever a sa" /dev/full --help
echo "ok: $(wc -l <"$work/rows") students as boletim reports them; -o; status 2 where it cannot run"
