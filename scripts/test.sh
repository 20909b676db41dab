#!/usr/bin/env bash
# Builds everything and runs the test suite.
# Usage: scripts/test.sh [--sanitize | --threads]
#   --sanitize  AddressSanitizer + UBSan build of everything in build-sanitize/
#   --threads   ThreadSanitizer build of only the tests labelled "threads"
#               (the editor's concurrency test) in build-tsan/
# KETTRIX_WERROR=ON makes every compiler warning an error (CI sets it).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=Release)
mode=${1:-}
if [ "$mode" = "--sanitize" ]; then
  build_dir=build-sanitize
  cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKETTRIX_SANITIZE=ON)
elif [ "$mode" = "--threads" ]; then
  build_dir=build-tsan
  cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKETTRIX_SANITIZE_THREAD=ON -DKETTRIX_TOOLS=ON)
fi

scripts/install-deps.sh
scripts/check-format.sh
cmake -S . -B "$build_dir" "${cmake_args[@]}" -DKETTRIX_WERROR="${KETTRIX_WERROR:-OFF}" >/dev/null
if [ "$mode" = "--threads" ]; then
  # Only the programs the concurrency tests need.
  mapfile -t targets < <(ctest --test-dir "$build_dir" -N -L threads | sed -nE 's/^ *Test +#[0-9]+: +//p')
  [ ${#targets[@]} -gt 0 ] || { echo "no tests labelled 'threads'"; exit 1; }
  cmake --build "$build_dir" -j"$(nproc)" --target "${targets[@]}"
  export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
  ctest --test-dir "$build_dir" --output-on-failure -L threads
  exit 0
fi
cmake --build "$build_dir" -j"$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
