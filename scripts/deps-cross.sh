#!/usr/bin/env bash
# Builds the third-party libraries a cross build links, from Debian's own
# sources, into a private prefix inside the build tree:
#   libpng  - Debian source package libpng1.6, fetched with a private apt
#             source list (the machine's apt configuration is not touched)
#   zlib    - Debian's libz-mingw-w64-dev for the Windows targets; for the
#             32-bit Linux target, Debian's zlib source package
#   gtest   - Debian's googletest package sources (/usr/src/googletest)
# Everything is static. A finished prefix is marked with a stamp file and is
# reused as is, so reruns cost nothing.
#
# Usage: scripts/deps-cross.sh <win64|win32|linux32> <prefix> [<source-cache>]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

target=${1:?target: win64, win32 or linux32}
prefix=${2:?install prefix}
src_cache=${3:-$prefix/../deps-src}
mkdir -p "$prefix" "$src_cache"
prefix=$(cd "$prefix" && pwd)
src_cache=$(cd "$src_cache" && pwd)

stamp=$prefix/.kettrix-deps-v1
if [ -f "$stamp" ]; then
  echo "deps ($target): cached in $prefix"
  exit 0
fi

case $target in
  win64)   cmake_target=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake") ;;
  win32)   cmake_target=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake") ;;
  linux32) cmake_target=(-DCMAKE_C_FLAGS="-m32 -msse2 -mfpmath=sse"
                         -DCMAKE_CXX_FLAGS="-m32 -msse2 -mfpmath=sse"
                         -DCMAKE_LIBRARY_ARCHITECTURE=i386-linux-gnu
                         -DCMAKE_PREFIX_PATH="$prefix"
                         -DCMAKE_FIND_ROOT_PATH="$prefix"
                         -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY
                         -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
                         -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY) ;;
  *) echo "unknown target '$target'" >&2; exit 2 ;;
esac

# Fetches one Debian source package (unpacked, with Debian's patches) into the
# source cache, once. Prints the unpacked directory.
fetch_debian_source() {
  local package=$1 pattern=$2
  local existing
  existing=$(find "$src_cache" -maxdepth 1 -type d -name "$pattern" | head -n 1)
  if [ -n "$existing" ]; then echo "$existing"; return; fi

  # A private deb-src list made from the main archive's stanza of the system
  # list (the security stanza's pool does not serve every indexed version).
  local apt_dir=$src_cache/apt
  mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  if [ ! -f "$apt_dir/sources/main-src.sources" ]; then
    awk 'BEGIN { RS = ""; ORS = "\n\n" } NR == 1 { print }' /etc/apt/sources.list.d/debian.sources \
      | sed 's/^Types: deb$/Types: deb-src/' > "$apt_dir/sources/main-src.sources"
  fi
  local apt_opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources"
                  -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
                  -o Debug::NoLocking=1)
  if [ ! -f "$apt_dir/updated" ]; then
    apt-get "${apt_opts[@]}" update -qq >&2
    touch "$apt_dir/updated"
  fi
  (cd "$src_cache" && apt-get "${apt_opts[@]}" source -qq "$package" >&2)
  find "$src_cache" -maxdepth 1 -type d -name "$pattern" | head -n 1
}

# Configures, builds and installs one CMake project into the prefix.
build_into_prefix() {
  local name=$1 source=$2; shift 2
  local build=$prefix/build/$name
  cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_POSITION_INDEPENDENT_CODE=ON "${cmake_target[@]}" "$@" >/dev/null
  cmake --build "$build" -j"${KETTRIX_JOBS:-2}" >/dev/null
  cmake --install "$build" >/dev/null
}

echo "deps ($target): building into $prefix"
zlib_args=()
if [ "$target" = linux32 ]; then
  zlib_src=$(fetch_debian_source zlib 'zlib-[0-9]*')
  # zlib's own configure script, static only, built in a copy of the source
  # (it builds in place).
  rm -rf "$prefix/build/zlib" && mkdir -p "$prefix/build" && cp -r "$zlib_src" "$prefix/build/zlib"
  (cd "$prefix/build/zlib" &&
     CFLAGS="-O2 -fPIC -m32 -msse2 -mfpmath=sse" ./configure --static --prefix="$prefix" >/dev/null &&
     make -j"${KETTRIX_JOBS:-2}" libz.a >/dev/null && make install >/dev/null)
  zlib_args=(-DZLIB_ROOT="$prefix" -DZLIB_USE_STATIC_LIBS=ON)
fi

png_src=$(fetch_debian_source libpng1.6 'libpng1.6-[0-9]*')
build_into_prefix libpng "$png_src" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON "${zlib_args[@]}"

build_into_prefix googletest /usr/src/googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
  -Dgtest_disable_pthreads=OFF

touch "$stamp"
echo "deps ($target): done"
