#!/usr/bin/env bash
# The program asks for the "Portuguese" locale, which most systems lack. Where it does
# exist its decimal comma must still change nothing: numbers are read and written with
# a point. This builds that locale in a scratch folder and runs a golden case under it.
# Usage: locale_test.sh INPUT EXPECTED_OUTPUT BYTE_ORDER PROGRAM...
# (BYTE_ORDER is the program's, BIG_ENDIAN or LITTLE_ENDIAN: locale files are written in
# it; PROGRAM... is the command that runs the program: an emulator may come first)
set -u
input=$1
expected=$2
byte_order=$3
program=("${@:4}")
locales=$(mktemp -d)
trap 'rm -rf "$locales"' EXIT

# "Portuguese" is an alias of pt_PT.ISO-8859-1 in glibc's locale.alias.
if ! localedef -i pt_PT -f ISO-8859-1 "$locales/pt_PT.ISO-8859-1" >/dev/null 2>&1 ||
    [ "$(LOCPATH=$locales LC_ALL=Portuguese locale decimal_point 2>/dev/null)" != , ]; then
    echo "skipped: the Portuguese locale cannot be built here"
    exit 77
fi
# The check above read the locale on this machine; a big-endian program reads a copy
# written in its own byte order.
locpath=$locales
if [ "$byte_order" = BIG_ENDIAN ]; then
    locpath=$locales/big-endian
    mkdir "$locpath"
    localedef --big-endian -i pt_PT -f ISO-8859-1 "$locpath/pt_PT.ISO-8859-1" >/dev/null 2>&1 ||
        { echo "FAIL: cannot write the locale in big-endian order"; exit 1; }
fi
LOCPATH=$locpath "${program[@]}" <"$input" >"$locales/out" || { echo "FAIL: exit status $?"; exit 1; }
cmp "$expected" "$locales/out" || { echo "FAIL: output differs under the Portuguese locale"; exit 1; }
echo "ok: same bytes under the Portuguese locale"
