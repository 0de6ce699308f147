#!/usr/bin/env bash
# boletim-turma -o FILE.xlsx writes the table as a workbook: checked, by a library made to
# read them, against the CSV table of the same class, and with the same messages and
# exit status as the CSV run. A run that fails after the workbook was begun leaves FILE
# as it was, and no file of its own.
# Usage: workbook_test.sh CLASS_FILE CHECKER -- BOLETIM_TURMA...
. "$(dirname "$0")/frame.sh"
class=${args[0]}
checker=${args[1]}
need_openpyxl

"${program[@]}" --ponto "$class" >"$work/table.csv" 2>"$work/table.err"
csv_status=$?
"${program[@]}" "$class" -o "$work/boletins.xlsx" >"$work/out" 2>"$work/err"
status=$?
[ $status -eq $csv_status ] || fail "exit status $status, the CSV run's $csv_status"
[ ! -s "$work/out" ] || fail "it wrote to standard output: $(head -c 200 "$work/out")"
cmp -s "$work/err" "$work/table.err" || fail "other messages:"$'\n'"$(diff "$work/table.err" "$work/err")"
title=$(sed -n '1s/;*\r\?$//p' "$class") # the class file starts with its title
"$python" "$checker" "$work/boletins.xlsx" "$work/table.csv" "$work/err" "$title" ||
    fail "the workbook differs from the table"

echo old >"$work/old.xlsx"
"${program[@]}" "$work" -o "$work/old.xlsx" 2>"$work/err" # a folder cannot be read
[ $? -eq 2 ] && [ "$(cat "$work/old.xlsx")" = old ] && [ -z "$(find "$work" -name '.*.tmp')" ] ||
    fail "a failed run: $(cat "$work/err"); left $(find "$work" -newer "$work/old.xlsx")"
# A table wider than a sheet's 16,384 columns, its three added, is no workbook.
{ printf 'Nome;N1;N2;N3'; printf ';c%.0s' $(seq 5 16382); printf '\nAna;7;8;9\n'; } >"$work/wide.csv"
"${program[@]}" "$work/wide.csv" -o "$work/wide.xlsx" 2>"$work/err"
[ $? -eq 2 ] && grep -qF "16.384" "$work/err" && [ ! -e "$work/wide.xlsx" ] ||
    fail "a table wider than a sheet: $(cat "$work/err")"
# A Windows-1252 class with CRLF line ends, to a name outside Windows-1252.
golden=$(dirname "$0")/golden/turma
sed 's/$/\r/' "$golden/windows_1252_bad_rows.csv" >"$work/turma windows.csv"
name="Notas Łódź 3ºB.xlsx"
"${program[@]}" "$work/turma windows.csv" -o "$work/$name" 2>"$work/err"
[ $? -eq 1 ] && "$python" -c 'import sys, openpyxl; openpyxl.load_workbook(sys.argv[1])' "$work/$name" ||
    fail "a Windows-1252 class to $name: $(cat "$work/err")"

# Dropped on the program, which then has a console of its own (as it has when a file
# manager starts it; forced here): the workbook goes beside the class, and the window
# waits for Enter.
cp "$golden/libreoffice.csv" "$work/turma.csv"
printf '\n' | BOLETIM_CONSOLE_PROPRIO=1 "${program[@]}" "$work/turma.csv" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] && "$python" -c 'import sys, openpyxl; openpyxl.load_workbook(sys.argv[1])' \
    "$work/turma-boletins.xlsx" && grep -q "Tecle Enter" "$work/err" ||
    fail "dropped on the program: $(cat "$work/err")"
echo "ok: the workbook says what the table says; a failed run leaves nothing"
