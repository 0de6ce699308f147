#!/usr/bin/env bash
# Puts the program where it cannot finish a run and checks that it says so on standard
# error and exits 1, instead of reporting success; boletim-turma exits 2, and leaves no
# file of its own.
# Usage: fault_test.sh memory_exhausted|input_unreadable|output_unwritable|
#                      turma_memory_exhausted -- PROGRAM...
. "$(dirname "$0")/frame.sh"
fault=${args[0]}

expect_exit_1_and_message() { # status, expected standard error
    [ "$1" -eq 1 ] || fail "exit status $1, expected 1"
    printf 'boletim: n\xe3o foi poss\xedvel %b\n' "$2" >"$work/expected_err"
    cmp "$work/expected_err" "$work/err" || fail "standard error: $(cat -v "$work/err")"
}

# Nothing of the report, only the prompt that was waiting for the identification.
expect_first_prompt_only() {
    printf 'Informe o n\xfamero de identifica\xe7\xe3o: ' >"$work/expected_out"
    cmp "$work/expected_out" "$work/out" || fail "standard output: $(head -c 200 "$work/out" | cat -v)"
}

not_completed='concluir a execu\xe7\xe3o (mem\xf3ria insuficiente ou erro de leitura).'

case $fault in
memory_exhausted)
    limit_kib=65536
    # Builds that need a large address space (the sanitizers) cannot run under the limit.
    (ulimit -v $limit_kib && echo '42 7 8 9' | "${program[@]}" >/dev/null 2>&1) ||
        skip "a normal run does not fit in $limit_kib KiB of address space"
    # An identification of 96 MiB cannot be held in 64 MiB.
    { head -c $((96 << 20)) /dev/zero | tr '\0' x; echo ' 7 8 9'; } |
        (ulimit -v $limit_kib && exec "${program[@]}") >"$work/out" 2>"$work/err"
    expect_exit_1_and_message $? "$not_completed"
    expect_first_prompt_only
    ;;
input_unreadable)
    # Reading a directory fails with an error, which must not pass for the end of input.
    "${program[@]}" </ >"$work/out" 2>"$work/err"
    expect_exit_1_and_message $? "$not_completed"
    expect_first_prompt_only
    ;;
output_unwritable)
    echo '42 7 8 9' | "${program[@]}" >/dev/full 2>"$work/err"
    expect_exit_1_and_message $? 'escrever a sa\xedda.'
    ;;
turma_memory_exhausted)
    limit_kib=65536
    printf 'Nome;N1;N2;N3\nAna;7;8;9\n' >"$work/turma.csv"
    (ulimit -v $limit_kib && exec "${program[@]}" "$work/turma.csv" >/dev/null 2>&1) ||
        skip "a normal run does not fit in $limit_kib KiB of address space"
    # A spreadsheet from a pipe is held whole, and 96 MiB of one cannot be held in 64 MiB.
    { printf 'PK\003\004'; head -c $((96 << 20)) /dev/zero; } |
        (ulimit -v $limit_kib && exec "${program[@]}" -o "$work/boletins.xlsx") >"$work/out" 2>"$work/err"
    status=$?
    [ $status -eq 2 ] && grep -q 'insuficiente' "$work/err" || fail "exit status $status: $(cat "$work/err")"
    [ -z "$(find "$work" -name '*.xlsx*' -o -name '.*.tmp')" ] || fail "it left $(ls -A "$work")"
    ;;
*)
    fail "unknown fault $fault"
    ;;
esac
echo "ok: $fault"
