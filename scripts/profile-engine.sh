#!/usr/bin/env bash
# Instructions the engine spends on one benchmark, counted by callgrind: the
# steady-state passes only (the settling pass and the set-up are left out).
# Usage: scripts/profile-engine.sh [BUILD_DIR] [FILTER] [SECONDS]
#   BUILD_DIR  a build configured with -DKETTRIX_BENCHMARKS=ON (default build)
#   FILTER     benchmark name filter (default WorstCase; also Typical, or one
#              section such as 'BM_Section<Section::Filter>/5$')
#   SECONDS    audio rendered per pass: 5 (the patterns), 0.5 (the sections)
# Prints the total, the instructions per rendered frame and the costliest
# functions; the profile stays in BUILD_DIR/callgrind.<FILTER>.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
filter=${2:-WorstCase}
seconds=${3:-5}
bench="$build/benchmarks/engine/bench-engine"
[ -x "$bench" ] || cmake --build "$build" --target bench-engine
out="$build/callgrind.$(echo "$filter" | tr -c 'A-Za-z0-9_\n' '_')"
# Collection is on inside the engine's block calls, except those made while
# the pattern settles (a toggle inside a toggle turns collection off).
valgrind --tool=callgrind --collect-atstart=no \
  --toggle-collect='kettrix::engine::DrumEngine::processBlock*' \
  --toggle-collect='*settleBeforeMeasuring*' \
  --callgrind-out-file="$out" \
  "$bench" --benchmark_filter="$filter" --benchmark_min_time=0.01 \
  --benchmark_counters_tabular=true >"$out.txt" 2>/dev/null
iterations=$(awk '/^BM_/{print $6; exit}' "$out.txt")
total=$(callgrind_annotate "$out" | awk '/PROGRAM TOTALS/{gsub(",","",$1); print $1}')
# Whole 256-frame blocks covering SECONDS at 44.1 kHz, per pass.
frames=$(awk -v s="$seconds" -v n="$iterations" 'BEGIN { b = int((s * 44100 + 255) / 256); print n * b * 256 }')
echo "$filter: $total instructions in $iterations pass(es), $((total / frames)) per frame"
callgrind_annotate "$out" | sed -n '/file:function/,$p' | sed -n '2,16p' | cut -c1-140
