#!/usr/bin/env bash
# What the README shows must be what a user gets. Its console example and its class
# recipe are taken from README.md itself and run in a scratch folder, where the program
# is both ./build/run/boletim and, on PATH, boletim: the example must print what it
# shows, and the recipe must give one report per student, a blank line and a last line
# without a line end included, and the right count of failures, or else stop with an
# error and no file. The manual page must show the same recipe.
# Usage: docs_test.sh README MANUAL_PAGE -- PROGRAM...
. "$(dirname "$0")/frame.sh"
readme=${args[0]}
page=${args[1]}
export LC_ALL=C.UTF-8 # what the README's iconv converts to

# Prints the first fenced block of the README in language $1 whose text contains $2.
readme_block() {
    awk -v fence="\`\`\`$1" -v word="$2" '
        $0 == fence { inside = 1; text = ""; next }
        inside && $0 == "```" { inside = 0; if (index(text, word)) { printf "%s", text; exit } }
        inside { text = text $0 "\n" }' "$readme"
}

mkdir -p "$work/build/run" "$work/bin"
printf '#!/usr/bin/env bash\nexec %s "$@"\n' "$(printf '%q ' "${program[@]}")" >"$work/bin/boletim"
chmod +x "$work/bin/boletim"
cp "$work/bin/boletim" "$work/build/run/boletim"

# The example: a command after "$ ", then exactly what it prints.
readme_block console '$ ' >"$work/example"
command=$(head -n 1 "$work/example")
[ "${command:0:2}" = '$ ' ] || fail "the README has no console example"
tail -n +2 "$work/example" >"$work/expected"
(cd "$work" && bash -c "${command:2}") >"$work/printed" || fail "the example fails: $command"
cmp "$work/expected" "$work/printed" ||
    fail "the example prints otherwise: $(diff "$work/expected" "$work/printed")"

readme_block sh turma.txt >"$work/recipe"
[ -s "$work/recipe" ] || fail "the README has no class recipe"
printf '42 7 8 9\n\nX-9 6 6 6\r\n \t\r\n7 7.22 0.35 9.36' >"$work/turma.txt"
# As written, with boletim installed; then from the build tree, as the README says.
sed 's|^boletim=boletim$|boletim=./build/run/boletim|' "$work/recipe" >"$work/recipe.build-tree"
cmp -s "$work/recipe" "$work/recipe.build-tree" && fail "the recipe has no line boletim=boletim"
for recipe in recipe recipe.build-tree; do
    rm -f "$work/boletins.txt"
    (cd "$work" && PATH=$work/bin:$PATH bash "$recipe") >"$work/count" 2>"$work/err" ||
        fail "$recipe failed: $(cat "$work/err")"
    [ "$(cat "$work/count")" = 1 ] || fail "$recipe counts $(cat "$work/count") failed, not 1"
    ids=$(sed -n 's/^- Matr.cula do aluno: //p' "$work/boletins.txt" | tr '\n' ' ')
    [ "$ids" = '42 X-9 7 ' ] || fail "$recipe reports on the students '$ids', not '42 X-9 7 '"
done
# Where boletim cannot be run, the recipe must say so and leave nothing that looks done:
# the recipe for the build tree, before the program is built (whatever is on PATH).
rm "$work/build/run/boletim"
(cd "$work" && bash recipe.build-tree) >"$work/count" 2>"$work/err" &&
    fail "the recipe succeeds without boletim"
[ -s "$work/err" ] || fail "the recipe fails without boletim, silently"
[ ! -s "$work/count" ] || fail "the recipe prints $(cat "$work/count") without boletim"
[ ! -e "$work/boletins.txt" ] || fail "the recipe leaves boletins.txt without boletim"

need man
MANWIDTH=200 man -l "$page" 2>/dev/null | sed 's/^ *//' >"$work/page.txt"
rendered=$(cat "$work/page.txt")
recipe=$(sed 's/^ *//' "$work/recipe")
[[ $rendered == *"$recipe"* ]] || fail "the manual page does not show the README's recipe"
echo "ok: the README's example and recipe, and the manual page's recipe"
