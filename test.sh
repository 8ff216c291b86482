#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build's, then the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
ensure_packages "${tidewake_packages[@]}"
# Sources compiled before, by this clone or another, come from the cache.
launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths relative to the folder above the checkout, so that two clones share the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}" CCACHE_NOHASHDIR=1

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTIDEWAKE_SANITIZE=ON "${launcher[@]}"
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
