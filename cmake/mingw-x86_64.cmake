# Cross build for 64-bit Windows (PE32+) with Debian's mingw-w64 toolchain.
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
#              [-DKETTRIX_DEPS_PREFIX=<prefix from scripts/deps-cross.sh>]
set(KETTRIX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
