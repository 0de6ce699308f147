#!/usr/bin/env bash
# Builds the Debian package, unpacks it and checks what its user gets: the control
# fields, the program's exact output and a manual page that renders without warnings.
# A hardened build is the package as shipped: lintian must then find nothing at all, and
# hardening-check must confirm the binary's protections (each where it is installed).
# Usage: package_test.sh CPACK CPACK_CONFIG VERSION INPUT EXPECTED_OUTPUT HARDENED(1|0)
. "$(dirname "$0")/frame.sh"
cpack=${args[0]}
config=${args[1]}
version=${args[2]}
input=${args[3]}
expected=${args[4]}
hardened=${args[5]}
need dpkg-deb dpkg-shlibdeps file man

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

cmp -s "$work/root/usr/share/doc/boletim/copyright" "$(dirname "$0")/../LICENSE" ||
    fail "the copyright file is not the licence"

for program in boletim boletim-turma; do
    page="$work/root/usr/share/man/man1/$program.1.gz"
    MANWIDTH=80 man --warnings -l "$page" >"$work/$program.txt" 2>"$work/page.err" ||
        fail "man -l $program failed"
    [ ! -s "$work/page.err" ] || fail "man -l $program warns: $(cat "$work/page.err")"
done
grep -q 'luit -encoding ISO-8859-1' "$work/boletim.txt" || fail "the manual page does not explain luit"

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
