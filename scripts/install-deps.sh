#!/usr/bin/env bash
# Installs the Debian packages the native build and tests need, when missing.
# Usage: scripts/install-deps.sh [extra-package ...]
set -euo pipefail

packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libebur128-dev
          libpng-dev zlib1g-dev libfreetype-dev libx11-dev
          # The style check (scripts/check-format.sh).
          clang-format
          # A third-party VST 2 instrument, only run as a test subject for
          # the kettrix-render host (its test is skipped without it).
          dpf-plugins-vst
          "$@")

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
