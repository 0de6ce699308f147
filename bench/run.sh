#!/usr/bin/env bash
# Measures what a run of boletim costs on this machine: a normal run from a pipe, and
# runs with a very long identification. Needs GNU time (/usr/bin/time).
# Usage: bench/run.sh [PROGRAM]   (default: the release build, built here if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/boletim}
if [ $# -eq 0 ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target boletim >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Peak resident memory in KiB of one run: peak_kib INPUT OUTPUT
peak_kib() {
    /usr/bin/time -f %M -o "$work/rss" "$program" <"$1" >"$2"
    cat "$work/rss"
}

echo "machine: $(nproc) cores, $(uname -m), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "program: $program"
echo

# Median wall time of a run fed from a pipe, in microseconds: median_us COMMAND
runs=200
median_us() {
    for ((i = 0; i < runs; i++)); do
        start=$EPOCHREALTIME
        echo '42 7 8 9' | "$1" >/dev/null
        echo $((${EPOCHREALTIME/./} - ${start/./}))
    done | sort -n | sed -n "$((runs / 2))p"
}
echo '42 7 8 9' >"$work/normal.in"
printf 'normal run (42 7 8 9 from a pipe): median %d us over %d runs, peak %d KiB\n' \
    "$(median_us "$program")" $runs "$(peak_kib "$work/normal.in" /dev/null)"
printf '  (the same pipe into /bin/cat, for the cost of starting a process: median %d us)\n' \
    "$(median_us /bin/cat)"

# The fixed parts of the output around the identification, for grades 7, 8 and 9: the
# golden output for student 42 with those grades, cut around its "42".
report=tests/golden/four_lines.out
at=$(LC_ALL=C grep -abo 'aluno: 42$' "$report" | cut -d: -f1)
head -c $((at + 7)) "$report" >"$work/head"
tail -c +$((at + 10)) "$report" >"$work/tail"

echo
echo "long identification (random bytes, whitespace mapped to letters), then 7 8 9:"
printf '%8s %10s %10s %14s %11s %s\n' MiB seconds MiB/s 'peak MiB' 'peak/size' echo
for mib in 16 64 256; do
    head -c $((mib << 20)) /dev/urandom | tr '\011-\015\040' 'abcdef' >"$work/id"
    { cat "$work/id"; echo ' 7 8 9'; } >"$work/long.in"
    start=$EPOCHREALTIME
    kib=$(peak_kib "$work/long.in" "$work/long.out")
    elapsed_us=$((${EPOCHREALTIME/./} - ${start/./}))
    if cat "$work/head" "$work/id" "$work/tail" | cmp -s - "$work/long.out"; then exact=byte-exact; else exact=DIFFERS; fi
    awk -v mib=$mib -v us=$elapsed_us -v kib="$kib" -v exact=$exact 'BEGIN {
        s = us / 1e6; printf "%8d %10.3f %10.1f %14.1f %11.2f %s\n", mib, s, mib / s, kib / 1024, kib / 1024 / mib, exact }'
    rm -f "$work/id" "$work/long.in" "$work/long.out"
done
