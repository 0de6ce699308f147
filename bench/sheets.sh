#!/usr/bin/env bash
# Measures what reading a spreadsheet costs boletim-turma: a class of STUDENTS students
# (default 100,000; a spreadsheet's export in Portuguese, as bench/make_class.sh makes
# it) as the CSV itself, as the .xlsx boletim-turma -o writes, and as the .xlsx and .ods
# LibreOffice saves, each read and tabled; next to openpyxl's read-only mode only
# iterating the cells of the same .xlsx files. Best of three runs each, in one run of the
# script; LibreOffice's files are made first (it takes a while).
# Needs GNU time, LibreOffice (libreoffice-calc-nogui) and python3-openpyxl.
# Usage: bench/sheets.sh [STUDENTS]   (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target boletim-turma >/dev/null
turma=$PWD/build/release/boletim-turma
students=${1:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. bench/make_class.sh
make_class "$students" >"$work/turma.csv"
"$turma" "$work/turma.csv" -o "$work/boletim.xlsx" 2>/dev/null
(cd "$work" && soffice --headless --infilter=CSV:59,34,76 --convert-to xlsx turma.csv >/dev/null 2>&1 &&
    soffice --headless --infilter=CSV:59,34,76 --convert-to ods turma.csv >/dev/null 2>&1)

best_of_three() { # the best wall time of three runs of a command, in seconds
    local best=
    for run in 1 2 3; do
        local start=$EPOCHREALTIME
        "$@" >/dev/null 2>&1
        local us=$((${EPOCHREALTIME/./} - ${start/./}))
        if [ -z "$best" ] || [ $us -lt $best ]; then best=$us; fi
    done
    awk -v us=$best 'BEGIN { printf "%.3f", us / 1e6 }'
}
openpyxl() {
    /usr/bin/python3 -c 'import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
for row in book.worksheets[0].iter_rows():
    for cell in row:
        cell.value' "$1"
}

echo "machine: $(nproc) cores, $(uname -m); $students students"
printf '%-28s %12s %12s %14s\n' file boletim-turma openpyxl 'turma/openpyxl'
for file in turma.csv boletim.xlsx turma.xlsx turma.ods; do
    ours=$(best_of_three "$turma" "$work/$file")
    theirs=-
    ratio=-
    if [[ $file == *.xlsx ]]; then
        theirs=$(best_of_three openpyxl "$work/$file")
        ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "%.3f", a / b }')
    fi
    case $file in
    turma.csv) name='CSV' ;;
    boletim.xlsx) name='.xlsx by boletim-turma -o' ;;
    turma.xlsx) name='.xlsx by LibreOffice' ;;
    turma.ods) name='.ods by LibreOffice' ;;
    esac
    printf '%-28s %12s %12s %14s\n' "$name" "$ours" "$theirs" "$ratio"
done
