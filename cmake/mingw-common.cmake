# Shared part of the mingw-w64 toolchain files; expects KETTRIX_MINGW_TRIPLE
# (and optionally KETTRIX_MINGW_ARCH_FLAGS) to be set by the includer.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KETTRIX_MINGW_TRIPLE})

# The posix thread model: Debian's default (win32) compilers lack std::mutex
# and std::thread in GCC 12.
set(CMAKE_C_COMPILER ${KETTRIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KETTRIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KETTRIX_MINGW_TRIPLE}-windres)

set(CMAKE_C_FLAGS_INIT "${KETTRIX_MINGW_ARCH_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${KETTRIX_MINGW_ARCH_FLAGS}")

# Static runtime: the DLL and the programs then import only system DLLs
# (no libgcc_s, libstdc++ or libwinpthread beside them).
set(KETTRIX_MINGW_STATIC_LINK "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${KETTRIX_MINGW_STATIC_LINK}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${KETTRIX_MINGW_STATIC_LINK}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${KETTRIX_MINGW_STATIC_LINK}")

# Libraries come from the target's sysroot and from the private prefix that
# scripts/deps-cross.sh fills (libpng, googletest); never from the build host.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KETTRIX_DEPS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${KETTRIX_MINGW_TRIPLE})
if(KETTRIX_DEPS_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${KETTRIX_DEPS_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib must be the static archive, not the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
