#!/usr/bin/env bash
# The bounded fuzz campaign of CI: builds the libFuzzer targets with clang
# (ASan + UBSan), replays every committed seed and past finding, then fuzzes
# each target for a fixed number of executions from its seeds with a fixed
# seed, as many targets at once as there are cores. Any finding fails the
# stage; its input is kept under the work folder and printed in base64, ready
# to be committed under tests/fuzz/<target>/.
#
# Usage: fuzz/run-ci.sh [target ...]        (default: every target)
# Environment: KETTRIX_FUZZ_BUILD (build-fuzz), KETTRIX_FUZZ_RUNS (20000
# executions per target), KETTRIX_FUZZ_MAX_SECONDS (300: a target still short
# of its runs by then stops there, which is reported but is no finding),
# KETTRIX_JOBS (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(chunk sound_file kit_text midi_file midi_events dispatcher png)
[ $# -gt 0 ] && targets=("$@")
build_dir=${KETTRIX_FUZZ_BUILD:-build-fuzz}
runs=${KETTRIX_FUZZ_RUNS:-20000}
max_seconds=${KETTRIX_FUZZ_MAX_SECONDS:-300}
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
# The fuzzers, and the plug-in modules built the same way (they link without
# the sanitizer runtimes, which the loading program brings).
modules=(Kettrix4)
known_targets=$(cmake --build "$build_dir" --target help)
for module in Kettrix4_clap Kettrix4_lv2; do
  grep -qx "\.\.\. $module" <<<"$known_targets" && modules+=("$module")
done
cmake --build "$build_dir" -j"$jobs" --target fuzzers "${modules[@]}"

work="$build_dir/ci"
rm -rf "$work"

# One target: its replay, then its fuzzing; "ok" or what failed goes to
# <work>/<target>/status, the report to <work>/<target>/report.
fuzz_one() {
  local t=$1
  local fuzzer="$build_dir/fuzz/fuzz_$t"
  local dir="$work/$t"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  local inputs=(fuzz/corpus/"$t"/*)
  [ -d "tests/fuzz/$t" ] && inputs+=(tests/fuzz/"$t"/*)
  {
    echo "== fuzz_$t: replaying ${#inputs[@]} seeds and past findings"
    if ! "$fuzzer" -artifact_prefix="$dir/artifacts/" "${inputs[@]}" >"$dir/replay.log" 2>&1; then
      tail -n 40 "$dir/replay.log"
      echo "replay" >"$dir/status"
      return
    fi
    echo "== fuzz_$t: $runs runs from the seeds, -seed=1"
    if "$fuzzer" -seed=1 -runs="$runs" -max_total_time="$max_seconds" -timeout=30 -rss_limit_mb=2048 \
         -print_final_stats=1 -artifact_prefix="$dir/artifacts/" "$dir/corpus" "fuzz/corpus/$t" >"$dir/fuzz.log" 2>&1; then
      grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec" "$dir/fuzz.log" | tr '\n' ' '
      echo
      echo "ok" >"$dir/status"
    else
      tail -n 60 "$dir/fuzz.log"
      for artifact in "$dir/artifacts"/*; do
        [ -f "$artifact" ] || continue
        echo "-- finding $(basename "$artifact") (base64):"
        base64 "$artifact" | head -c 20000
        echo
      done
      echo "fuzzing" >"$dir/status"
    fi
  } >"$dir/report" 2>&1
}

running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  fuzz_one "$t" &
  running=$((running + 1))
done
wait

failed=()
for t in "${targets[@]}"; do
  cat "$work/$t/report"
  status=$(cat "$work/$t/status" 2>/dev/null || echo "no result")
  [ "$status" = ok ] || failed+=("$t ($status)")
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz findings in: ${failed[*]}"
  exit 1
fi
echo "fuzz campaign: no findings"
