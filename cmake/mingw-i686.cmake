# Cross build for 32-bit Windows (PE32) with Debian's mingw-w64 toolchain.
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
#              [-DKETTRIX_DEPS_PREFIX=<prefix from scripts/deps-cross.sh>]
set(KETTRIX_MINGW_TRIPLE i686-w64-mingw32)

# The i686 default is x87 arithmetic, whose 80-bit intermediates round
# differently from the 64-bit build; SSE2 math makes both DLLs compute the
# same samples.
set(KETTRIX_MINGW_ARCH_FLAGS "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
