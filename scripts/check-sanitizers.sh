#!/usr/bin/env bash
# Builds the core, the CLI and their tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in ./build-san (clang when present, which also
# builds the libFuzzer targets of tests/fuzz), runs those tests, then runs each
# fuzz target for FUZZ_SECONDS seconds (30 unless set) on a copy of its seed
# corpus. Any sanitizer report, failing test or fuzz finding fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=1
jobs="$(nproc)"
seconds="${FUZZ_SECONDS:-30}"

if [ ! -f build-san/build.ninja ]; then
  compiler=()
  if command -v clang++ >/dev/null 2>&1; then
    compiler=(-DCMAKE_CXX_COMPILER=clang++)
  else
    echo "clang++ not found: sanitizer build with the default compiler, no fuzz targets"
  fi
  # -O1: the sanitizers' usual setting, far quicker to build than -O2.
  cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
        -DAMBROLUX_SANITIZE=ON -DAMBROLUX_BUILD_GUI=OFF -DAMBROLUX_BUILD_BENCH=OFF "${compiler[@]}"
fi
cmake --build build-san -j "$jobs"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
(cd build-san && ctest --output-on-failure -j "$jobs")

shopt -s nullglob
targets=(build-san/tests/fuzz/fuzz_*)
if ((${#targets[@]} == 0)); then
  echo "No fuzz targets built (they need clang)."
  exit 0
fi
mkdir -p build-san/fuzz-findings
for target in "${targets[@]}"; do
  [ -x "$target" ] && [ -f "$target" ] || continue
  name="$(basename "$target")"
  corpus="tests/fuzz/corpus/$name"
  work="$(mktemp -d)"
  [ -d "$corpus" ] && cp -R "$corpus/." "$work/"
  echo "== $name: ${seconds}s on $(ls "$work" | wc -l) seeds"
  status=0
  "$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="build-san/fuzz-findings/$name-" "$work" 2> "build-san/fuzz-findings/$name.log" || status=$?
  tail -n 12 "build-san/fuzz-findings/$name.log"
  rm -rf "$work"
  if ((status != 0)); then
    echo "$name found a fault; the input is in build-san/fuzz-findings/"
    exit "$status"
  fi
done
