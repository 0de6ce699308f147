#!/usr/bin/env bash
# The workbook of a teacher's class, printed as LibreOffice prints it: "Turma" on a page
# per 35 students or so, "Resumo" on one page, the cards four to a page with no page of
# anything else, a card for every student, and no two cells' texts run together on
# "Turma". Skipped where LibreOffice or poppler's pdftotext is not installed.
# Usage: print_test.sh CLASS CHECKER -- BOLETIM_TURMA...
. "$(dirname "$0")/frame.sh"
class=${args[0]}
checker=${args[1]}
for tool in soffice pdftotext python3; do
    command -v "$tool" >/dev/null ||
        skip "$tool is not installed (Debian: libreoffice-calc-nogui poppler-utils python3)"
done

"${program[@]}" "$class" >"$work/table.csv" 2>/dev/null
"${program[@]}" "$class" -o "$work/boletins.xlsx" 2>"$work/err"
[ -s "$work/boletins.xlsx" ] || fail "no workbook: $(cat "$work/err")"
# A profile of its own, so that a LibreOffice already running does not take the job.
soffice -env:UserInstallation="file://$work/profile" --headless --convert-to pdf \
    --outdir "$work" "$work/boletins.xlsx" >/dev/null 2>&1
[ -s "$work/boletins.pdf" ] || fail "LibreOffice made no PDF"
pdftotext -bbox "$work/boletins.pdf" "$work/words.html" || fail "pdftotext failed"
python3 "$checker" "$work/words.html" "$work/table.csv"
