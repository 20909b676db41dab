# `cmake --install` puts the plug-in where VST 2 hosts look for it.
#
# Linux: ~/.vst when no install prefix was chosen (neither at configure time
# nor with `cmake --install --prefix`), else <prefix>/lib/vst, the folder
# distributions use for system-wide VST 2 plug-ins. KETTRIX_VST_DIR, when
# set, wins over both. Windows builds install the DLL into <prefix>/vst.
#
# Only the plug-in is installed (component "plugin"); the tools and tests
# stay in the build tree.

if(NOT TARGET Kettrix4)
  return()
endif()

set(KETTRIX_VST_DIR "" CACHE PATH
    "Folder for the plug-in (empty: ~/.vst, or <prefix>/lib/vst when an install prefix is given)")

if(WIN32)
  install(TARGETS Kettrix4 LIBRARY DESTINATION vst RUNTIME DESTINATION vst COMPONENT plugin)
  return()
endif()

# The prefix CMake chose by itself, to tell it at install time from one the
# user gave. CMake says so only on the first run in a build folder, so the
# answer is kept in the cache.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(KETTRIX_DEFAULT_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}" CACHE INTERNAL "Install prefix CMake chose")
endif()
if(DEFINED KETTRIX_DEFAULT_INSTALL_PREFIX)
  set(kettrix_default_prefix "${KETTRIX_DEFAULT_INSTALL_PREFIX}")
else()
  # A build folder first configured before this rule existed: CMake's own
  # default on this platform.
  set(kettrix_default_prefix "/usr/local")
endif()

install(CODE "
  set(kettrix_vst_dir \"${KETTRIX_VST_DIR}\")
  if(NOT kettrix_vst_dir)
    if(NOT \"${kettrix_default_prefix}\" STREQUAL \"\" AND CMAKE_INSTALL_PREFIX STREQUAL \"${kettrix_default_prefix}\")
      if(NOT DEFINED ENV{HOME} OR \"\$ENV{HOME}\" STREQUAL \"\")
        message(FATAL_ERROR \"HOME is not set: give an install prefix or KETTRIX_VST_DIR\")
      endif()
      set(kettrix_vst_dir \"\$ENV{HOME}/.vst\")
    else()
      set(kettrix_vst_dir \"\${CMAKE_INSTALL_PREFIX}/lib/vst\")
    endif()
  endif()
  file(INSTALL DESTINATION \"\${kettrix_vst_dir}\" TYPE MODULE FILES \"$<TARGET_FILE:Kettrix4>\")
" COMPONENT plugin)
