#!/usr/bin/env bash
# Measures the page in headless Chromium on a class of STUDENTS students (default 10,000)
# as the .xlsx LibreOffice saves: the table shown, and the workbook downloaded; beside the
# native boletim-turma on the same file. Needs the web preset built and tested first
# (cmake --workflow --preset web), whose test installs playwright-core, and LibreOffice.
# Usage: bench/page.sh [STUDENTS]
set -euo pipefail
cd "$(dirname "$0")/.."
students=${1:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. bench/make_class.sh
make_class "$students" >"$work/turma.csv"
(cd "$work" && soffice --headless --infilter=CSV:59,34,76 --convert-to xlsx turma.csv >/dev/null 2>&1)
native=build/web/tests/page/native/boletim-turma
time_of() { # wall time of a command, in seconds
    local start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || true
    awk -v us=$((${EPOCHREALTIME/./} - ${start/./})) 'BEGIN { printf "%.2f", us / 1e6 }'
}
echo "native: table $(time_of "$native" "$work/turma.xlsx") s;" \
    "workbook $(time_of "$native" "$work/turma.xlsx" -o "$work/native.xlsx") s"
echo "page: $(wc -c <build/web/boletim.html) bytes"
# Beside the modules the test installed, where node's import finds them.
cp bench/page.mjs build/web/page-test/npm/page_bench.mjs
node build/web/page-test/npm/page_bench.mjs build/web/boletim.html "$work/turma.xlsx"
