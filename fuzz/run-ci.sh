#!/usr/bin/env bash
# The bounded fuzz campaign of CI: builds the libFuzzer targets with clang
# (ASan + UBSan), replays every committed seed and past finding (twice, in
# two shuffled orders, which must reach the same coverage: the reset between
# inputs leaves nothing behind), then fuzzes each target for a fixed number
# of executions from its seeds with a fixed seed. Any finding fails the
# stage; its input is kept under the work folder and printed in base64,
# ready to be committed under tests/fuzz/<target>/.
#
# Usage: fuzz/run-ci.sh [target ...]        (default: every target)
# Environment: KETTRIX_FUZZ_BUILD (build-fuzz), KETTRIX_FUZZ_RUNS (20000
# executions per target), KETTRIX_JOBS (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(chunk sound_file kit_text midi_file midi_events dispatcher png)
[ $# -gt 0 ] && targets=("$@")
build_dir=${KETTRIX_FUZZ_BUILD:-build-fuzz}
runs=${KETTRIX_FUZZ_RUNS:-20000}
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
  # libFuzzer shuffles the seeds by its seed when told not to sort them by
  # size; whatever the order, one input's coverage must not depend on the
  # inputs before it.
  coverage=()
  for order in 1 2; do
    "$fuzzer" -runs=0 -shuffle=1 -prefer_small=0 -seed="$order" -artifact_prefix="$work/$t/artifacts/" \
      "fuzz/corpus/$t" $([ -d "tests/fuzz/$t" ] && echo "tests/fuzz/$t") >"$work/$t/order$order.log" 2>&1
    coverage+=("$(grep -o 'INITED cov: [0-9]* ft: [0-9]*' "$work/$t/order$order.log")")
  done
  if [ "${coverage[0]}" != "${coverage[1]}" ] || [ -z "${coverage[0]}" ]; then
    echo "fuzz_$t: the seeds in two orders reach different coverage: '${coverage[0]}' / '${coverage[1]}'"
    failed+=("$t (reset between inputs)")
    continue
  fi
  echo "== fuzz_$t: ${coverage[0]#INITED } in both orders; $runs executions from the seeds, -seed=1"
  start=$SECONDS
  if "$fuzzer" -seed=1 -runs="$runs" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$work/$t/artifacts/" "$work/$t/corpus" "fuzz/corpus/$t" >"$work/$t/fuzz.log" 2>&1; then
    echo "$(grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec" "$work/$t/fuzz.log" | tr '\n' ' ')in $((SECONDS - start)) s"
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
