#!/usr/bin/env bash
# Renders the golden-render kits with kettrix-render, at every rate, block
# size and precision of the golden test, into one WAV per combination.
# Two plug-in builds rendered into two folders can then be compared byte by
# byte:
#   tests/golden/render-golden-kits.sh build/tests/golden/golden_render_tests \
#       build/tools/render/kettrix-render build/plugin/Kettrix4.so /tmp/new
#   (the same with another build's plug-in into /tmp/old)
#   diff -r /tmp/old/wav /tmp/new/wav && echo identical
set -euo pipefail
if [ $# -ne 4 ]; then
  echo "usage: $0 GOLDEN_TEST_PROGRAM KETTRIX_RENDER PLUGIN OUT_FOLDER" >&2
  exit 2
fi
test_program=$1 render=$2 plugin=$3 out=$4
mkdir -p "$out/kits" "$out/wav"
KETTRIX_GOLDEN_EXPORT="$out/kits" "$test_program" --gtest_filter='*ExportForTheRenderTool' >/dev/null
for state in "$out"/kits/*.kxs; do
  kit=$(basename "$state" .kxs)
  for rate in 44100 48000 96000; do
    for block in 1 7 256 4096; do
      for precision in float double; do
        "$render" "$plugin" --load-state "$state" --midi "$out/kits/$kit.mid" --rate "$rate" --block "$block" \
          --precision "$precision" --mix all --tail 0.5 --out "$out/wav/$kit-$rate-b$block-$precision.wav" >/dev/null
      done
    done
  done
done
echo "$(ls "$out/wav" | wc -l) renders in $out/wav"
