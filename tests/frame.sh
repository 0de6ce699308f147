# Sourced first by every test script, with the script's arguments:
#   SCRIPT ARG... [-- PROGRAM...]
# It leaves the ARGs in args and the command that runs the program under test in program
# (an emulator may come first), makes a scratch folder $work that goes on exit, and gives
# fail, skip, need and need_openpyxl. skip's status, 77, is the one tests/CMakeLists.txt
# declares.
set -u
args=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1") && shift; done
program=("${@:2}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "skipped: $*"; exit 77; }
need() { for tool; do command -v "$tool" >/dev/null || skip "$tool is not installed"; done; }
# Leaves in python a Python that has openpyxl, which reads workbooks, or skips.
need_openpyxl() {
    for python in python3 /usr/bin/python3; do
        "$python" -c 'import openpyxl' 2>/dev/null && return
    done
    skip "no Python with openpyxl (Debian: python3-openpyxl)"
}
