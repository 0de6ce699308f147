#!/usr/bin/env bash
# Builds the Debian package, unpacks it and checks what its user gets: the control
# fields, the programs' exact output and manual pages that render without warnings.
# A hardened build is the package as shipped: lintian must then find nothing at all, and
# hardening-check must confirm the binary's protections (each where it is installed).
# Where the build writes .xlsx, the package depends on libxlsxwriter's runtime package and
# its boletim-turma writes a workbook; where it reads spreadsheets, it depends on libzip's
# and expat's, and its boletim-turma reads one.
# Usage: package_test.sh CPACK CPACK_CONFIG VERSION INPUT EXPECTED_OUTPUT HARDENED(1|0) XLSX(1|0)
#        SHEETS(1|0)
. "$(dirname "$0")/frame.sh"
cpack=${args[0]}
config=${args[1]}
version=${args[2]}
input=${args[3]}
expected=${args[4]}
hardened=${args[5]}
xlsx=${args[6]}
sheets=${args[7]}
need dpkg-deb dpkg-shlibdeps file man localedef
mkdir "$work/locales"
localedef -i pt_BR -f UTF-8 "$work/locales/pt_BR.UTF-8" >/dev/null 2>&1 ||
    skip "the pt_BR.UTF-8 locale cannot be built here"

"$cpack" --config "$config" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
deb=$(find "$work/package" -maxdepth 1 -name '*.deb')
[ -f "$deb" ] || fail "no package in $work/package"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = boletim ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
for library in libc6 libstdc++6; do
    field Depends | grep -q "$library" || fail "Depends lacks $library: $(field Depends)"
done
[ "$(field Suggests)" = luit ] || fail "Suggests: $(field Suggests)"

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/boletim" <"$input" >"$work/out" || fail "packaged program exited $?"
cmp "$expected" "$work/out" || fail "packaged program's output differs"
class=$(dirname "$0")/golden/turma/quoted_commas
(cd "$(dirname "$class")" && "$work/root/usr/bin/boletim-turma" --ponto quoted_commas.csv) \
    >"$work/table" 2>/dev/null || fail "packaged boletim-turma exited $?"
cmp "$class.out" "$work/table" || fail "packaged boletim-turma's table differs"
if [ "$xlsx" = 1 ]; then
    field Depends | grep -q libxlsxwriter || fail "Depends lacks libxlsxwriter: $(field Depends)"
    "$work/root/usr/bin/boletim-turma" "$class.csv" -o "$work/boletins.xlsx" 2>/dev/null ||
        fail "packaged boletim-turma could not write a workbook"
    [ "$(head -c 4 "$work/boletins.xlsx")" = $'PK\x03\x04' ] || fail "the workbook is no zip"
fi
if [ "$sheets" = 1 ]; then
    for library in libzip libexpat; do
        field Depends | grep -q "$library" || fail "Depends lacks $library: $(field Depends)"
    done
    sheet=$(dirname "$0")/golden/turma/libreoffice
    "$work/root/usr/bin/boletim-turma" "$sheet.ods" >"$work/sheet" 2>/dev/null
    cmp "$sheet.out" "$work/sheet" || fail "packaged boletim-turma reads the spreadsheet otherwise"
fi

cmp -s "$work/root/usr/share/doc/boletim/copyright" "$(dirname "$0")/../LICENSE" ||
    fail "the copyright file is not the licence"

# Four manual pages, English where man looks by default and Brazilian Portuguese where it
# looks under that locale, which is built here for man to find them.
pages=$work/root/usr/share/man
for page in "$pages"/{,pt_BR/}man1/{boletim,boletim-turma}.1.gz; do
    MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$work/page.err" || fail "man -l $page failed"
    [ ! -s "$work/page.err" ] || fail "man -l $page warns: $(cat "$work/page.err")"
done
man_in() { LOCPATH=$work/locales LANG=$1 MANPATH=$pages MANWIDTH=80 man "$2" 2>&1; }
[[ $(man_in C.UTF-8 boletim) == *NAME* ]] || fail "man boletim is not the English page"
[[ $(man_in pt_BR.UTF-8 boletim) == *NOME* ]] || fail "man boletim under pt_BR is not the Portuguese page"
[[ $(man_in pt_BR.UTF-8 boletim-turma) == *NOME* ]] || fail "man boletim-turma under pt_BR is not Portuguese"
man_in C.UTF-8 boletim | grep -q 'luit -encoding ISO-8859-1' || fail "the manual page does not explain luit"

if [ "$hardened" = 1 ] && command -v lintian >/dev/null; then
    lintian -EvI --pedantic --no-tag-display-limit "$deb" >"$work/lintian.txt" 2>&1 ||
        fail "lintian: $(cat "$work/lintian.txt")"
    ! grep -E '^[EWIPX]: ' "$work/lintian.txt" || fail "lintian tags the package"
fi
if [ "$hardened" = 1 ] && command -v hardening-check >/dev/null; then
    for program in boletim boletim-turma; do
        hardening-check "$work/root/usr/bin/$program" >"$work/hardening.txt" 2>&1
        for protection in 'Position Independent Executable' 'Stack protected' \
            'Read-only relocations' 'Immediate binding'; do
            grep -q "$protection: yes" "$work/hardening.txt" ||
                fail "hardening-check $program: $(grep "$protection" "$work/hardening.txt")"
        done
    done
fi
echo "ok: $(basename "$deb")"
