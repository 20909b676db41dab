#!/usr/bin/env bash
# The bounded fuzz campaign of CI: builds the libFuzzer targets with clang
# (ASan + UBSan), replays every committed seed and past finding, then fuzzes
# each target for a fixed time from its seeds with a fixed seed. Any finding
# fails the stage; its input is kept under the work folder and printed in
# base64, ready to be committed under tests/fuzz/<target>/.
#
# Usage: fuzz/run-ci.sh [target ...]        (default: every target)
# Environment: KETTRIX_FUZZ_BUILD (build-fuzz), KETTRIX_FUZZ_SECONDS (30 per
# target), KETTRIX_JOBS (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(chunk sound_file kit_text midi_file midi_events dispatcher png)
[ $# -gt 0 ] && targets=("$@")
build_dir=${KETTRIX_FUZZ_BUILD:-build-fuzz}
seconds=${KETTRIX_FUZZ_SECONDS:-30}
jobs=${KETTRIX_JOBS:-$(nproc)}

# clang, its sanitizer runtimes and libFuzzer come from Debian's archive.
scripts/install-deps.sh --fuzz

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Warnings stay warnings here (KETTRIX_WERROR is for the GCC and mingw
# builds): clang warns about things GCC accepts, in code the fuzzers only use.
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKETTRIX_FUZZ=ON -DKETTRIX_TESTS=OFF -DKETTRIX_WERROR=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build "$build_dir" -j"$jobs" --target fuzzers

work="$build_dir/ci"
rm -rf "$work"
failed=()
for t in "${targets[@]}"; do
  fuzzer="$build_dir/fuzz/fuzz_$t"
  mkdir -p "$work/$t/corpus" "$work/$t/artifacts"
  inputs=(fuzz/corpus/"$t"/*)
  [ -d "tests/fuzz/$t" ] && inputs+=(tests/fuzz/"$t"/*)
  echo "== fuzz_$t: replaying ${#inputs[@]} seeds and past findings"
  if ! "$fuzzer" -artifact_prefix="$work/$t/artifacts/" "${inputs[@]}" >"$work/$t/replay.log" 2>&1; then
    tail -n 40 "$work/$t/replay.log"
    failed+=("$t (replay)")
    continue
  fi
  echo "== fuzz_$t: ${seconds} s from the seeds, -seed=1"
  if "$fuzzer" -seed=1 -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$work/$t/artifacts/" "$work/$t/corpus" "fuzz/corpus/$t" >"$work/$t/fuzz.log" 2>&1; then
    grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec" "$work/$t/fuzz.log" | tr '\n' ' '
    echo
  else
    tail -n 60 "$work/$t/fuzz.log"
    for artifact in "$work/$t/artifacts"/*; do
      [ -f "$artifact" ] || continue
      echo "-- finding $(basename "$artifact") (base64):"
      base64 "$artifact" | head -c 20000
      echo
    done
    failed+=("$t")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz findings in: ${failed[*]}"
  exit 1
fi
echo "fuzz campaign: no findings"
