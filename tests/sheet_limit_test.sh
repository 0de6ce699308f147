#!/usr/bin/env bash
# A sheet holds 1,048,576 rows: the header and 1,048,575 students are written, and one
# student more is refused with exit status 2 and a message, leaving no file behind.
# Slow (a workbook of a million rows, twice): labelled so, for a quick run to leave out.
# Usage: sheet_limit_test.sh XLSX -- BOLETIM_TURMA...
. "$(dirname "$0")/frame.sh"
[ "${args[0]}" = 1 ] || skip "this build writes no .xlsx"
need unzip

class() {
    awk -v students="$1" 'BEGIN {
        print "Mat;Nome;N1;N2;N3"
        for (i = 1; i <= students; i++) print i ";Aluno;7;8;9"
    }' >"$work/class.csv"
}

class 1048575
"${program[@]}" "$work/class.csv" -o "$work/full.xlsx" 2>"$work/err" ||
    fail "a full sheet: exit status $?: $(tail -n 3 "$work/err")"
last=$(unzip -p "$work/full.xlsx" xl/worksheets/sheet1.xml | tail -c 2000 | grep -o '<row r="[0-9]*"' | tail -n 1)
[ "$last" = '<row r="1048576"' ] || fail "the last row of a full sheet is $last"

class 1048576
"${program[@]}" "$work/class.csv" -o "$work/over.xlsx" 2>"$work/err"
status=$?
[ $status -eq 2 ] && grep -qF "passa de 1.048.576 linhas" "$work/err" ||
    fail "one student more: exit status $status, $(tail -n 3 "$work/err")"
[ -z "$(find "$work" -name 'over.xlsx' -o -name '.*.tmp')" ] || fail "a refused class left a file"
echo "ok: 1,048,575 students fill a sheet; one more is refused, and nothing is left"
