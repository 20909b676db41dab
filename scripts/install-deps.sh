#!/usr/bin/env bash
# Installs the Debian packages the native build and tests need, when missing.
# Usage: scripts/install-deps.sh [--fuzz] [--reference] [extra-package ...]
#   --fuzz       also clang, its sanitizer runtimes and libFuzzer (fuzz/run-ci.sh)
#   --reference  also recordings of real drum kits (about 140 MB), measured by
#                kettrix-kitcheck --reference as the ranges the factory kits
#                are compared with
set -euo pipefail

fuzz_packages=()
reference_packages=()
while [ $# -gt 0 ]; do
  case "$1" in
    --fuzz) fuzz_packages=(clang libclang-rt-14-dev libfuzzer-14-dev) ;;
    --reference) reference_packages=(hydrogen-drumkits) ;;
    *) break ;;
  esac
  shift
done

packages=(cmake g++ make pkg-config ccache libgtest-dev libgmock-dev libbenchmark-dev libebur128-dev
          libpng-dev zlib1g-dev libfreetype-dev fonts-liberation2 libx11-dev
          # Editor image generator only (generators/images).
          libcairo2-dev
          # The editor window tests: a headless X server, its authority tool
          # for xvfb-run, and synthetic input (XTest).
          xvfb xauth libxtst-dev
          # The style check (scripts/check-format.sh).
          clang-format
          # A third-party VST 2 instrument, only run as a test subject for
          # the kettrix-render host (its test is skipped without it).
          dpf-plugins-vst
          # The LV2 module's interface headers; the bundle's checks (lv2ls,
          # lv2info) and a real LV2 host to play it (jalv).
          lv2-dev lilv-utils jalv
          # Reading the reference recordings (FLAC) in kettrix-kitcheck.
          libsndfile1-dev
          "${fuzz_packages[@]}" "${reference_packages[@]}" "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
