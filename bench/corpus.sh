#!/usr/bin/env bash
# Runs boletim-turma on the spreadsheets and text tables of other projects' test suites, as
# Debian ships their sources: every .xlsx, .xlsm, .ods, .csv and .tsv, each as it is and
# with -n A,B,C, which makes it read every row. Each run must end by itself (no signal, no
# sanitizer's report), within 20 s and 200 MiB (with --sanitizers, 60 s and no bound on
# memory, which the sanitizers' shadow takes), and say why it ended as it did: 0 and its
# summary, 1 and a row in error or "nenhum aluno encontrado", 2 and its reason.
# Prints a table of the outcomes; exits 1 if any run broke these rules, listing them.
# Sources are fetched with apt-get source (a deb-src line for the release's main suite),
# once, into the folder given (default build/corpus); a package the archive cannot give is
# said and left out.
# Usage: bench/corpus.sh [--sanitizers] [--sources FOLDER] [--packages "NAME..."] PROGRAM
set -euo pipefail
sanitizers=0
sources=build/corpus
packages="libxlsxwriter libexcel-writer-xlsx-perl liborcus gnumeric openpyxl pandas
    r-cran-readxl python-odf"
while [ $# -gt 1 ]; do
    case $1 in
    --sanitizers) sanitizers=1 ;;
    --sources) sources=$2 && shift ;;
    --packages) packages=$2 && shift ;;
    *) break ;;
    esac
    shift
done
program=$(realpath "$1")
seconds=20 kib=$((200 << 10))
[ $sanitizers -eq 0 ] || seconds=60 kib=0
mkdir -p "$sources"
sources=$(realpath "$sources")

for package in $packages; do
    if ! compgen -G "$sources/$package-*/" >/dev/null; then
        (cd "$sources" && apt-get source --only-source "$package" >"$package.log" 2>&1) ||
            echo "not in the archive here, left out: $package ($(grep -m1 '^E:' "$sources/$package.log"))"
    fi
done

# One run: FILE, then the options; prints a line: outcome, seconds, KiB, options, file.
run_one() {
    local file=$1 scratch=$scratch/$BASHPID status elapsed peak outcome said
    shift
    /usr/bin/time -q -f '%e %M' -o "$scratch.time" timeout -s KILL "$seconds" \
        "$program" --ponto "$@" "$file" >/dev/null 2>"$scratch.err" && status=0 || status=$?
    read -r elapsed peak <"$scratch.time" || elapsed=$seconds peak=0
    # What a run says first (why it stopped) and last (its summary, a sanitizer's report).
    said=$(head -c 2048 "$scratch.err" && printf '\n' && tail -c 6144 "$scratch.err")
    case "$status:$said" in
    *AddressSanitizer* | *LeakSanitizer* | *"runtime error:"*) outcome=SANITIZER ;;
    12[4-9]:* | 1[3-9]?:* | 2??:*) outcome="SIGNAL-$status" ;;
    "0:"*" aluno"*": "*) outcome=computed ;;
    "1:"*"nenhum aluno encontrado"*) outcome=no-student ;;
    "1:"*" com erro"*) outcome=rows-in-error ;;
    "2:boletim-turma: "* | "2:"*$'\nboletim-turma: '*)
        # The reason, without the file's name and what is particular to it.
        outcome="refused: $(grep -m1 '^boletim-turma: ' "$scratch.err" | sed -E \
            's/^boletim-turma: [^:]*: //; s/[0-9]+/N/g; s/"[^"]*"/"…"/g; s/:$//' | cut -c1-60)"
        ;;
    *) outcome="UNEXPLAINED-$status" ;;
    esac
    if [ "$kib" -ne 0 ] && [ "${peak:-0}" -gt "$kib" ]; then
        outcome="OVER-MEMORY ($outcome)"
    fi
    if [ "${elapsed%.*}" -ge "$seconds" ]; then
        outcome="OVER-TIME ($outcome)"
    fi
    printf '%s\t%s\t%s\t%s\t%s\n' "$outcome" "$elapsed" "$peak" "$*" "$file"
    rm -f "$scratch.err" "$scratch.time"
}
export -f run_one
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export program seconds kib scratch
files=$scratch/files
results=$scratch/results
folders=()
for package in $packages; do
    for folder in "$sources/$package"-*/; do
        [ -d "$folder" ] && folders+=("$folder")
    done
done
[ ${#folders[@]} -gt 0 ] || { echo "no sources to read in $sources"; exit 1; }
find "${folders[@]}" -type f \( -iname '*.xlsx' -o -iname '*.xlsm' -o -iname '*.ods' -o \
    -iname '*.csv' -o -iname '*.tsv' \) -print0 | sort -z >"$files"
count=$(tr -cd '\0' <"$files" | wc -c)
echo "program: $program; $count files from: $(basename -a "${folders[@]}" | xargs)"
xargs -0 -P "$(nproc)" -n 50 bash -c 'for file; do run_one "$file"; run_one "$file" -n A,B,C; done' _ \
    <"$files" >"$results"

echo
echo "runs by outcome (as the file is, and with -n A,B,C):"
cut -f1 "$results" | sort | uniq -c | sort -rn
awk -F'\t' '$2 + 0 >= slowest { slowest = $2; slow = $5 } $3 + 0 >= most { most = $3; big = $5 }
    END { printf "slowest: %s s, %s\nmost memory: %d KiB, %s\n", slowest, slow, most, big }' "$results"
broken=$(grep -E '^(SANITIZER|SIGNAL|UNEXPLAINED|OVER-)' "$results" || true)
if [ -n "$broken" ]; then
    echo
    echo "runs that broke the rules:"
    echo "$broken"
    exit 1
fi
echo "every run ended by itself, within its bounds, and said why"
