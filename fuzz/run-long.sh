#!/usr/bin/env bash
# A long fuzz campaign for a machine left running: round after round, each
# target fuzzes for a while at low priority from the corpus it has collected
# so far (and the committed seeds), then that corpus is minimised (libFuzzer's
# -merge=1 keeps the smallest set of inputs with the same coverage), so it
# stays small however long the campaign runs. Findings are kept and the
# campaign goes on with the next target.
#
# Usage: fuzz/run-long.sh [target ...]        (default: every target)
# Environment: KETTRIX_FUZZ_BUILD (build-fuzz, built by fuzz/run-ci.sh or the
# README's commands), KETTRIX_FUZZ_WORK (fuzz-work), KETTRIX_FUZZ_ROUND
# (1800 seconds per target and round), KETTRIX_FUZZ_ROUNDS (0: until stopped).
# Results: <work>/<target>/corpus (minimised), <work>/<target>/findings/,
# <work>/campaign.log (one line per target and round).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(chunk sound_file kit_text midi_file midi_events dispatcher png)
[ $# -gt 0 ] && targets=("$@")
build_dir=${KETTRIX_FUZZ_BUILD:-build-fuzz}
work=${KETTRIX_FUZZ_WORK:-fuzz-work}
round_seconds=${KETTRIX_FUZZ_ROUND:-1800}
rounds=${KETTRIX_FUZZ_ROUNDS:-0}

for t in "${targets[@]}"; do
  [ -x "$build_dir/fuzz/fuzz_$t" ] || { echo "run-long.sh: no $build_dir/fuzz/fuzz_$t; build the fuzzers first" >&2; exit 1; }
  mkdir -p "$work/$t/corpus" "$work/$t/findings"
done

round=0
while [ "$rounds" -eq 0 ] || [ "$round" -lt "$rounds" ]; do
  round=$((round + 1))
  for t in "${targets[@]}"; do
    fuzzer="$build_dir/fuzz/fuzz_$t"
    dir="$work/$t"
    seeds=("fuzz/corpus/$t")
    [ -d "tests/fuzz/$t" ] && seeds+=("tests/fuzz/$t")
    status=ok
    nice -n 10 "$fuzzer" -seed="$round" -max_total_time="$round_seconds" -timeout=30 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$dir/findings/" "$dir/corpus" "${seeds[@]}" >"$dir/round.log" 2>&1 ||
      status="finding (see $dir/findings/)"
    # Minimise: merge what the round collected into an empty folder.
    rm -rf "$dir/merged"
    mkdir "$dir/merged"
    nice -n 10 "$fuzzer" -merge=1 -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$dir/findings/" \
      "$dir/merged" "$dir/corpus" >"$dir/merge.log" 2>&1 && { rm -rf "$dir/corpus"; mv "$dir/merged" "$dir/corpus"; }
    echo "$(date -u +%FT%TZ) round $round $t: $(grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$dir/round.log" | tr '\n' ' ')corpus $(ls "$dir/corpus" | wc -l) files, $status" |
      tee -a "$work/campaign.log"
  done
done
