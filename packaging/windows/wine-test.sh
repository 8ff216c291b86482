#!/usr/bin/env bash
# Runs every test program of the Windows build under Wine, with the real data of ../shared/data:
# ctest in that build folder, where CMake runs each program through wine-run.sh.
#   wine-test.sh [BUILD_FOLDER] [CTEST_ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build-windows/build}
shift || true
# Wine's prefix made once before the parallel runs, not by each of them.
"$here/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
started=$(date +%s)
status=0
ctest --test-dir "$build" --output-on-failure -j"${JOBS:-$(nproc)}" "$@" || status=$?
elapsed=$(($(date +%s) - started))
echo "Wine test run: $((elapsed / 60)) min $((elapsed % 60)) s"
exit $status
