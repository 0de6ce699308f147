#!/usr/bin/env bash
# What the READMEs show must be what a user gets. Each console block is run in a scratch
# folder, command by command: a line "$ COMMAND" runs COMMAND there, standard error
# joined to standard output, and the lines after it, up to the next "$ " or the block's
# end, are exactly what it must print. "$ cat FILE" first writes FILE from those lines,
# so that a block can show the file it works on. The programs are there both as
# ./build/run/NAME, where the README's first command leaves them, and on PATH, as
# installed. The commands that install and uninstall are run on BUILD_DIR, into a
# scratch prefix with a space in its name; BUILD_DIR's install manifest is shared with
# the package test, which CTest therefore never runs at the same time. Every example a
# manual page shows must be a command a README runs. The teacher's spreadsheet the READMEs
# read, turma.ods, is SPREADSHEET. Where the build writes no .xlsx (XLSX is 0), or reads
# no spreadsheet (SHEETS is 0), the commands that need it are left out.
# Usage: docs_test.sh BOLETIM_TURMA BUILD_DIR XLSX SHEETS SPREADSHEET README... -- BOLETIM...
# (an emulator may come before BOLETIM)
. "$(dirname "$0")/frame.sh"
turma=("${program[@]:0:${#program[@]}-1}" "${args[0]}")
build=${args[1]}
xlsx=${args[2]}
sheets=${args[3]}
spreadsheet=${args[4]}
readmes=("${args[@]:5}")
export LC_ALL=C.UTF-8 # what the README's iconv converts to

# Puts each command of the console blocks of $1 in $2/N.command, and what it prints in
# $2/N.expected.
split_console_blocks() {
    mkdir "$2"
    awk -v steps="$2" '
        $0 == "```console" { inside = 1; next }
        inside && $0 == "```" { inside = 0; next }
        inside && /^\$ / {
            close(expected)
            ++step
            print substr($0, 3) >(steps "/" step ".command")
            close(steps "/" step ".command")
            expected = steps "/" step ".expected"
            printf "" >expected
            next
        }
        inside { print >expected }' "$1"
}

installed() { # name, command line: an executable that runs the command line
    printf '#!/usr/bin/env bash\nexec %s "$@"\n' "$(printf '%q ' "${@:2}")" >"$work/bin/$1"
    chmod +x "$work/bin/$1"
}
mkdir "$work/bin"
installed boletim "${program[@]}"
installed boletim-turma "${turma[@]}"

: >"$work/commands"
# What the install command must put in place, and the uninstall command take away.
installed_files=(bin/boletim bin/boletim-turma share/doc/boletim/copyright
    share/man/{,pt_BR/}man1/{boletim,boletim-turma}.1.gz)
for readme in "${readmes[@]}"; do
    folder=$work/$(basename "$readme")
    split_console_blocks "$readme" "$folder.steps"
    mkdir -p "$folder/build/run"
    cp "$work/bin/"* "$folder/build/run/"
    cp "$spreadsheet" "$folder/turma.ods"
    steps=$(find "$folder.steps" -name '*.command' | wc -l)
    [ "$steps" -gt 0 ] || fail "$readme has no console example"
    for ((step = 1; step <= steps; step++)); do
        command=$(cat "$folder.steps/$step.command")
        echo "${command//.\/build\/run\//}" >>"$work/commands"
        if [[ $command =~ ^cat\ ([^ ]+)$ ]]; then
            cp "$folder.steps/$step.expected" "$folder/${BASH_REMATCH[1]}"
        fi
        if [ "$xlsx" = 0 ] && [[ $command == *.xlsx* ]]; then
            echo "left out, as this build writes no .xlsx: $command"
            continue
        fi
        if [ "$sheets" = 0 ] && [[ $command == *.ods* ]]; then
            echo "left out, as this build reads no spreadsheet: $command"
            continue
        fi
        (cd "$folder" && PATH=$work/bin:$PATH bash -c "$command") >"$work/printed" 2>&1
        cmp -s "$folder.steps/$step.expected" "$work/printed" ||
            fail "$readme: \$ $command prints otherwise:"$'\n'"$(diff "$folder.steps/$step.expected" "$work/printed")"
    done

    # The install and uninstall commands are the README's for POSIX systems; Windows
    # builds are handed out in a ZIP instead.
    [[ ${program[-1]} == *.exe ]] && continue
    prefix="$work/a prefix"
    awk '$0 == "```sh" { inside = 1; next } inside && $0 == "```" { inside = 0 }
        inside && /^cmake --install |install_manifest/' "$readme" |
        sed "s|build/run|$build|g; s|~/.local|\"$prefix\"|g" >"$work/install"
    [ "$(wc -l <"$work/install")" -eq 2 ] || fail "$readme: no install and uninstall commands"
    bash -c "$(head -n 1 "$work/install")" >/dev/null || fail "$readme: the install command fails"
    for file in "${installed_files[@]}"; do
        [ -f "$prefix/$file" ] || fail "$readme: the install command does not install $file"
    done
    # Never let the uninstall command loose on a manifest that names other files.
    ! grep -vF "$prefix/" "$build/install_manifest.txt" ||
        fail "$readme: the install manifest names files outside $prefix"
    bash -c "$(tail -n 1 "$work/install")" &&
        [ -z "$(find "$prefix" -type f)" ] && [ ! -e "$prefix/share/doc/boletim" ] ||
        fail "$readme: the uninstall command leaves $(find "$prefix" -path '*boletim*')"
done

need man
for page in $(find "$(dirname "$0")/../man" -name '*.1'); do
    MANWIDTH=200 man -l "$page" 2>/dev/null | sed -n 's/^ *\$ //p' >"$work/examples"
    while read -r example; do
        grep -qxF -- "$example" "$work/commands" ||
            fail "$(basename "$page") shows an example no README runs: $example"
    done <"$work/examples"
done
# The LEIA-ME handed out with the Windows programs shows commands typed in a console in
# the programs' folder, as .\boletim-turma: each must run there, on the teacher's
# spreadsheet under the names it uses, wherever the LEIA-ME puts them.
leia_me="$(dirname "$0")/../packaging/LEIA-ME.txt"
mkdir "$work/leia-me"
cp "$spreadsheet" "$work/leia-me/turma.ods"
cp "${spreadsheet%.ods}.xlsx" "$work/leia-me/turma.xlsx"
cp "${spreadsheet%.ods}.xlsx" "$work/leia-me/Notas 3B.xlsx"
sed -n 's/^  \.\\\(boletim-turma .*\)/\1/p' "$leia_me" >"$work/leia-me.commands"
[ "$(wc -l <"$work/leia-me.commands")" -ge 3 ] || fail "the LEIA-ME shows no commands"
while read -r command; do
    if [[ $command == *.xlsx* ]] && [ "$sheets$xlsx" != 11 ]; then
        echo "left out, as this build reads or writes no .xlsx: $command"
        continue
    fi
    command=$(sed 's/"[A-Z]:\\[^"]*\\/"/' <<<"$command") # C:\...\Notas 3B.xlsx: Notas 3B.xlsx
    status=0
    (cd "$work/leia-me" && PATH=$work/bin:$PATH bash -c "$command" </dev/null >"$work/printed" 2>&1) ||
        status=$?
    [ "$status" -le 1 ] || fail "LEIA-ME: $command exits $status: $(head -c 300 "$work/printed")"
done <"$work/leia-me.commands"
echo "ok: $(wc -l <"$work/commands") commands of the READMEs, $(wc -l <"$work/leia-me.commands") of the LEIA-ME, and the manual pages' examples"
