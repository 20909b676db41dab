#!/usr/bin/env bash
# Builds everything and runs the test suite.
# Usage: scripts/test.sh [--sanitize]   (AddressSanitizer + UBSan build in build-sanitize/)
# KETTRIX_WERROR=ON makes every compiler warning an error (CI sets it).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=Release)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-sanitize
  cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKETTRIX_SANITIZE=ON)
fi

scripts/install-deps.sh
scripts/check-format.sh
cmake -S . -B "$build_dir" "${cmake_args[@]}" -DKETTRIX_WERROR="${KETTRIX_WERROR:-OFF}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
