#!/usr/bin/env bash
# The program asks for the "Portuguese" locale, which most systems lack. Where it does
# exist its decimal comma must still change nothing: numbers are read and written with
# a point. This builds that locale in a scratch folder and runs a golden case under it.
# Usage: locale_test.sh PROGRAM INPUT EXPECTED_OUTPUT
set -u
program=$1
input=$2
expected=$3
locales=$(mktemp -d)
trap 'rm -rf "$locales"' EXIT

# "Portuguese" is an alias of pt_PT.ISO-8859-1 in glibc's locale.alias.
if ! localedef -i pt_PT -f ISO-8859-1 "$locales/pt_PT.ISO-8859-1" >/dev/null 2>&1 ||
    [ "$(LOCPATH=$locales LC_ALL=Portuguese locale decimal_point 2>/dev/null)" != , ]; then
    echo "skipped: the Portuguese locale cannot be built here"
    exit 77
fi
LOCPATH=$locales "$program" <"$input" >"$locales/out" || { echo "FAIL: exit status $?"; exit 1; }
cmp "$expected" "$locales/out" || { echo "FAIL: output differs under the Portuguese locale"; exit 1; }
echo "ok: same bytes under the Portuguese locale"
