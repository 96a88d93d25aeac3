#!/usr/bin/env bash
# Configures (once) and builds Ambrolux in ./build with Ninja and ccache.
set -euo pipefail
cd "$(dirname "$0")/.."
# Paths relative to the checkout, so every clone and work tree shares one ccache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$(nproc)" "$@"
