# Sourced first by every test script, with the script's arguments:
#   SCRIPT ARG... [-- PROGRAM...]
# It leaves the ARGs in args and the command that runs the program under test in program
# (an emulator may come first), makes a scratch folder $work that goes on exit, and gives
# fail, skip and need. skip's status, 77, is the one tests/CMakeLists.txt declares.
set -u
args=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1") && shift; done
program=("${@:2}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "skipped: $*"; exit 77; }
need() { for tool; do command -v "$tool" >/dev/null || skip "$tool is not installed"; done; }
