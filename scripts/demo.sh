#!/usr/bin/env bash
# Builds the plug-in and the render host, then renders the demo pattern through
# the plug-in to build/demo.wav.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
build/tools/render/kettrix-render build/plugin/Kettrix4.so --demo --out build/demo.wav
echo "Rendered build/demo.wav"
