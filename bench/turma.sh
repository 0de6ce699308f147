#!/usr/bin/env bash
# Measures what boletim-turma costs on this machine: the wall time and peak resident
# memory of classes of 10,000, 100,000 and 1,000,000 students (a spreadsheet's export in
# Portuguese: a header, ';', decimal commas), against the shell recipe the README gave
# before boletim-turma, one boletim run a student, timed on the first RECIPE_STUDENTS
# students of the same class (default 2000) and scaled to 100,000.
# Needs GNU time (/usr/bin/time).
# Usage: bench/turma.sh   (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target boletim boletim-turma >/dev/null
turma=build/release/boletim-turma
boletim=$PWD/build/release/boletim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A class of $1 students, identification and three grades with up to two decimals: the
# whitespace form with decimal points (what the recipe reads).
make_class() {
    awk -v students="$1" 'BEGIN {
        srand(1)
        for (i = 1; i <= students; i++)
            printf "%d %.2f %.1f %d\n", 2026000000 + i, rand() * 10, rand() * 10, int(rand() * 11)
    }'
}
# The same class as a spreadsheet in Portuguese saves it.
as_spreadsheet() {
    { echo 'Matrícula;Nota 1;Nota 2;Nota 3'; tr ' .' ';,'; }
}

echo "machine: $(nproc) cores, $(uname -m), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo
echo "boletim-turma, $turma:"
printf '%12s %12s %14s %12s\n' students seconds students/s 'peak KiB'
for students in 10000 100000 1000000; do
    make_class $students | as_spreadsheet >"$work/turma.csv"
    best=
    for run in 1 2 3; do # the best of three: the machine's other work only adds time
        start=$EPOCHREALTIME
        /usr/bin/time -f %M -o "$work/rss" "$turma" "$work/turma.csv" >/dev/null 2>&1
        us=$((${EPOCHREALTIME/./} - ${start/./}))
        if [ -z "$best" ] || [ $us -lt $best ]; then best=$us; fi
    done
    awk -v n=$students -v us=$best -v kib="$(cat "$work/rss")" 'BEGIN {
        printf "%12d %12.3f %14.0f %12d\n", n, us / 1e6, n / (us / 1e6), kib }'
done

recipe_students=${RECIPE_STUDENTS:-2000}
make_class "$recipe_students" >"$work/turma.txt"
echo
echo "the shell recipe, one boletim run a student, on $recipe_students students:"
start=$EPOCHREALTIME
(
    cd "$work"
    set -o pipefail
    while read -r aluno || [ -n "$aluno" ]; do
        case $aluno in *[![:space:]]*) printf '%s\n' "$aluno" | "$boletim" || exit ;; esac
    done <turma.txt | iconv -f ISO-8859-1 >boletins.txt
)
us=$((${EPOCHREALTIME/./} - ${start/./}))
awk -v n="$recipe_students" -v us=$us 'BEGIN {
    printf "%12.3f s, %.0f students/s; for 100000 students about %.0f s\n", us / 1e6, n / (us / 1e6), us / 1e6 / n * 100000 }'
