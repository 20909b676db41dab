#!/usr/bin/env bash
# Installs the Debian packages the Windows cross builds and the 32-bit core
# tests need, when missing: the mingw-w64 posix-thread toolchains with their
# zlib, Wine for running the x64 programs, and multilib + qemu for running the
# 32-bit Linux core tests. wine32 is deliberately never installed: on kernels
# without IA-32 emulation it makes every Wine start fail ("Exec format error").
# Usage: scripts/install-windows-deps.sh
set -euo pipefail
cd "$(dirname "$0")"

exec ./install-deps.sh \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev \
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 \
  dpkg-dev wine wine64 g++-multilib qemu-user-static
