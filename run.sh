#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/packages.sh
ensure_packages "${tidewake_packages[@]}"
# Sources compiled before, by this clone or another, come from the cache.
launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths relative to the folder above the checkout, so that two clones share the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}" CCACHE_NOHASHDIR=1

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build build -j "$(nproc)" --target tidewake
exec ./build/ui/tidewake "$@"
