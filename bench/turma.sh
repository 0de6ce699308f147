#!/usr/bin/env bash
# Measures what boletim-turma costs on this machine: the wall time and peak resident
# memory of classes of 10,000, 100,000 and 1,000,000 students (a spreadsheet's export in
# Portuguese: a header, ';', a name, decimal commas), next to what reading the file costs
# (cat) and what a user who knows the shell would write instead: an awk line that splits
# on ';', turns the commas into points, computes the mean in double and picks the letter,
# without checking a grade. Then, for 1,000,000 students, the table as a workbook next to
# libxlsxwriter alone writing the same cells (bench/xlsx_alone.cpp, where pkg-config finds
# the library). Last, the shell recipe the README gave before boletim-turma, one boletim
# run a student, on the first RECIPE_STUDENTS students (default 2000), scaled to 100,000.
# Then 1,000,000 students of four bimesters, by the default rule's three and by the
# school's equal weights with rounding. Each figure is the best of three runs.
# Needs GNU time (/usr/bin/time).
# Usage: bench/turma.sh [BOLETIM_TURMA]   (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target boletim boletim-turma >/dev/null
turma=${1:-build/release/boletim-turma}
boletim=$PWD/build/release/boletim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. bench/make_class.sh

awk_line() {
    awk -F';' -v OFS=';' 'NR > 1 {
        for (i = 3; i <= 5; i++) gsub(",", ".", $i)
        mean = ($3 + 2 * $4 + 3 * $5) / 6
        letter = mean >= 9 ? "A" : mean >= 7.5 ? "B" : mean >= 6 ? "C" : mean >= 4 ? "D" : "E"
        print $0, mean, letter, (letter <= "C" ? "APROVADO" : "REPROVADO")
    }' "$1"
}

# The best of three runs of a command: microseconds, and peak KiB.
best_of_three() {
    local best= kib= us
    for run in 1 2 3; do
        local start=$EPOCHREALTIME
        /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1
        us=$((${EPOCHREALTIME/./} - ${start/./}))
        if [ -z "$best" ] || [ $us -lt $best ]; then best=$us kib=$(cat "$work/rss"); fi
    done
    echo "$best $kib"
}

echo "machine: $(nproc) cores, $(uname -m), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "boletim-turma: $turma; awk: $(readlink -f "$(command -v awk)")"
echo
printf '%9s %6s %10s %9s %9s %9s %9s %10s %8s\n' students MB turma_s 'peak KiB' awk_s cat_s \
    turma/awk turma/cat 'awk KiB'
export -f awk_line
for students in 10000 100000 1000000; do
    make_class $students >"$work/turma.csv"
    read -r turma_us turma_kib < <(best_of_three "$turma" "$work/turma.csv")
    read -r awk_us awk_kib < <(best_of_three bash -c 'awk_line "$0"' "$work/turma.csv")
    read -r cat_us _ < <(best_of_three cat "$work/turma.csv")
    awk -v n=$students -v bytes="$(stat -c %s "$work/turma.csv")" -v t=$turma_us -v tk=$turma_kib \
        -v a=$awk_us -v ak=$awk_kib -v c=$cat_us 'BEGIN {
        printf "%9d %6.1f %10.3f %9d %9.3f %9.3f %9.2f %9.1f %8d\n", n, bytes / 1e6, t / 1e6, tk,
               a / 1e6, c / 1e6, t / a, t / c, ak }'
done

# The school's rule: four bimesters, three of them weighted 1, 2 and 3, or all four with
# equal weights and each mean rounded to half points.
make_class 1000000 bimestres >"$work/bimestres.csv"
echo
echo "1000000 students, four bimesters:"
printf '%40s %10s %10s\n' '' seconds 'peak KiB'
for rule in "-n C,D,E" "--pesos 1,1,1,1 --arredondamento 0,5"; do
    # shellcheck disable=SC2086 # the rule's options, split on purpose
    awk -v what="$rule" -v line="$(best_of_three "$turma" $rule "$work/bimestres.csv")" 'BEGIN {
        split(line, f, " "); printf "%40s %10.3f %10d\n", what, f[1] / 1e6, f[2] }'
done

if pkg-config --exists xlsxwriter; then
    c++ -std=c++20 -O2 -o "$work/xlsx_alone" bench/xlsx_alone.cpp $(pkg-config --cflags --libs xlsxwriter)
    echo
    echo "1000000 students as a workbook:"
    printf '%24s %10s %10s\n' '' seconds 'peak KiB'
    show() { awk -v what="$1" -v us="$2" -v kib="$3" 'BEGIN { printf "%24s %10.3f %10d\n", what, us / 1e6, kib }'; }
    show 'boletim-turma -o .xlsx' $(best_of_three "$turma" "$work/turma.csv" -o "$work/turma.xlsx")
    show 'libxlsxwriter alone' $(best_of_three "$work/xlsx_alone" 1000000 "$work/alone.xlsx")
fi

recipe_students=${RECIPE_STUDENTS:-2000}
make_class "$recipe_students" | tail -n +2 | awk -F';' '{ gsub(",", ".");
    print $1, $3, $4, $5 }' >"$work/turma.txt"
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
