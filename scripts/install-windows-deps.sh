#!/usr/bin/env bash
# Installs the Debian packages the Windows cross builds and the 32-bit core
# tests need, when missing: the mingw-w64 posix-thread toolchains with their
# zlib, Wine for running the x64 programs, and multilib + qemu for running the
# 32-bit Linux core tests. wine32 is deliberately never installed: on kernels
# without IA-32 emulation it makes every Wine start fail ("Exec format error").
# Usage: scripts/install-windows-deps.sh
set -euo pipefail

packages=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev
          binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
          cmake dpkg-dev wine wine64 g++-multilib qemu-user-static)

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
