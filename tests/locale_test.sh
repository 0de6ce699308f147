#!/usr/bin/env bash
# The program asks for the "Portuguese" locale, which most systems lack. Where it does
# exist its decimal comma must still change nothing: numbers are read and written with
# a point. This builds that locale in a scratch folder and runs a golden case under it.
# Usage: locale_test.sh INPUT EXPECTED_OUTPUT BYTE_ORDER -- PROGRAM...
# (BYTE_ORDER is the program's, BIG_ENDIAN or LITTLE_ENDIAN: locale files are written in it)
. "$(dirname "$0")/frame.sh"
input=${args[0]}
expected=${args[1]}
byte_order=${args[2]}

# "Portuguese" is an alias of pt_PT.ISO-8859-1 in glibc's locale.alias.
if ! localedef -i pt_PT -f ISO-8859-1 "$work/pt_PT.ISO-8859-1" >/dev/null 2>&1 ||
    [ "$(LOCPATH=$work LC_ALL=Portuguese locale decimal_point 2>/dev/null)" != , ]; then
    skip "the Portuguese locale cannot be built here"
fi
# The check above read the locale on this machine; a big-endian program reads a copy
# written in its own byte order.
locpath=$work
if [ "$byte_order" = BIG_ENDIAN ]; then
    locpath=$work/big-endian
    mkdir "$locpath"
    localedef --big-endian -i pt_PT -f ISO-8859-1 "$locpath/pt_PT.ISO-8859-1" >/dev/null 2>&1 ||
        fail "cannot write the locale in big-endian order"
fi
LOCPATH=$locpath "${program[@]}" <"$input" >"$work/out" || fail "exit status $?"
cmp "$expected" "$work/out" || fail "output differs under the Portuguese locale"
echo "ok: same bytes under the Portuguese locale"
