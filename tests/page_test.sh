#!/usr/bin/env bash
# The page in Debian's Chromium, driven by playwright-core from npm (installed here from the
# lockfile; it downloads no browser), against the native programs.
# Usage: page_test.sh PAGE BOLETIM BOLETIM_TURMA CLASSES SCREENSHOTS
source "$(dirname "$0")/frame.sh"
page=${args[0]} boletim=${args[1]} turma=${args[2]} classes=${args[3]} screenshots=${args[4]}
tests=$(cd "$(dirname "$0")/page" && pwd)
need node npm
chromium=${CHROMIUM:-/usr/bin/chromium}
[ -x "$chromium" ] || skip "no Chromium at $chromium (Debian: chromium)"
need_openpyxl
# The modules are kept beside the screenshots, installed again only when the lockfile changes.
modules=$screenshots/npm
mkdir -p "$modules"
if ! cmp -s "$tests/package-lock.json" "$modules/package-lock.json"; then
    cp "$tests/package.json" "$tests/package-lock.json" "$modules/"
    (cd "$modules" && npm ci --no-audit --no-fund --ignore-scripts >/dev/null) ||
        fail "npm ci could not install playwright-core"
fi
cp "$tests/page_test.mjs" "$modules/"
CHROMIUM=$chromium PYTHON=$python node "$modules/page_test.mjs" "$page" "$boletim" "$turma" \
    "$classes" "$screenshots" "$tests/same_workbook.py"
