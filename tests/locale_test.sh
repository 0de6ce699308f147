#!/usr/bin/env bash
# The program asks for the "Portuguese" locale, which most systems lack. Where it does
# exist its decimal comma must still change nothing: numbers are read and written with
# a point. This builds that locale in a scratch folder and runs a golden case under it.
# Then boletim-turma, under a Latin-1 locale, must write its messages in Latin-1 alone.
# Usage: locale_test.sh INPUT EXPECTED_OUTPUT BYTE_ORDER BOLETIM_TURMA -- PROGRAM...
# (BYTE_ORDER is the program's, BIG_ENDIAN or LITTLE_ENDIAN: locale files are written in it)
. "$(dirname "$0")/frame.sh"
input=${args[0]}
expected=${args[1]}
byte_order=${args[2]}
turma=("${program[@]:0:${#program[@]}-1}" "${args[3]}")

# "Portuguese" is an alias of pt_PT.ISO-8859-1 in glibc's locale.alias.
if ! localedef -i pt_PT -f ISO-8859-1 "$work/pt_PT.ISO-8859-1" >/dev/null 2>&1 ||
    ! localedef -i pt_BR -f ISO-8859-1 "$work/pt_BR.ISO-8859-1" >/dev/null 2>&1 ||
    [ "$(LOCPATH=$work LC_ALL=Portuguese locale decimal_point 2>/dev/null)" != , ]; then
    skip "the Portuguese locale cannot be built here"
fi
# The check above read the locale on this machine; a big-endian program reads a copy
# written in its own byte order.
locpath=$work
if [ "$byte_order" = BIG_ENDIAN ]; then
    locpath=$work/big-endian
    mkdir "$locpath"
    for locale in pt_PT pt_BR; do
        localedef --big-endian -i $locale -f ISO-8859-1 "$locpath/$locale.ISO-8859-1" >/dev/null 2>&1 ||
            fail "cannot write the locale in big-endian order"
    done
fi
LOCPATH=$locpath "${program[@]}" <"$input" >"$work/out" || fail "exit status $?"
cmp "$expected" "$work/out" || fail "output differs under the Portuguese locale"

# A row's error, the summary, and a message with a file's name and the system's text.
# Under an emulator the target's C library has no character set modules to convert with.
if [ ${#program[@]} -gt 1 ]; then
    echo "ok: same bytes under the Portuguese locale (Latin-1 messages not checked under an emulator)"
    exit 0
fi
printf 'Mat;Nome;N1;N2;N3\n1;Jos\xc3\xa9;7;;9\n' >"$work/class.csv"
for file in class.csv none.csv; do
    (cd "$work" && LOCPATH=$locpath LC_ALL=pt_BR.ISO-8859-1 "${turma[@]}" $file) 2>>"$work/err" >/dev/null
done
grep -q $'nota 2 est\xe1 vazia' "$work/err" && grep -q $'n\xe3o foi poss\xedvel abrir' "$work/err" &&
    ! grep -q $'\xc3' "$work/err" || fail "boletim-turma's messages are not all Latin-1: $(cat -v "$work/err")"
echo "ok: same bytes under the Portuguese locale; messages in Latin-1 under a Latin-1 locale"
