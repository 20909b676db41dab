# `cmake --install` puts the plug-in where hosts look for it, in each format
# built.
#
# Linux: every home folder of its format in KettrixInstallFolders.cmake
# (~/.vst and ~/.lxvst; ~/.lv2; ~/.clap) when no install prefix was chosen (neither at
# configure time nor with `cmake --install --prefix`), else every prefix
# folder (<prefix>/lib/vst and <prefix>/lib/lxvst; <prefix>/lib/lv2;
# <prefix>/lib/clap), where
# distributions put system-wide plug-ins. KETTRIX_VST_DIR, when set, wins
# over both for the VST 2 module: it goes there only. Windows builds install
# the DLL into <prefix>/vst.
#
# Only the plug-in is installed (component "plugin"); the tools and tests
# stay in the build tree.

if(NOT TARGET Kettrix4)
  return()
endif()

set(KETTRIX_VST_DIR "" CACHE PATH
    "Folder for the plug-in (empty: ~/.vst and ~/.lxvst, or <prefix>/lib/vst and <prefix>/lib/lxvst with a prefix)")

if(WIN32)
  install(TARGETS Kettrix4 LIBRARY DESTINATION vst RUNTIME DESTINATION vst COMPONENT plugin)
  return()
endif()

include(KettrixInstallFolders)

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

foreach(row IN LISTS KETTRIX_INSTALL_FORMATS)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 format)
  list(GET fields 1 target)
  list(GET fields 2 name)
  list(GET fields 3 home_dirs)
  list(GET fields 4 prefix_dirs)
  if(NOT TARGET ${target})
    continue()
  endif()
  set(own_dir "")
  if(format STREQUAL "VST 2")
    set(own_dir "${KETTRIX_VST_DIR}")
  endif()
  if(name MATCHES "\\.lv2$")
    # A bundle: its folder with the module and the Turtle files beside it.
    get_target_property(bundle ${target} KETTRIX_BUNDLE_DIR)
    get_target_property(module ${target} KETTRIX_BUNDLE_MODULE)
    get_filename_component(bundle_name "${bundle}" NAME)
    set(check "
      if(NOT \"${bundle_name}\" STREQUAL \"${name}\")
        message(FATAL_ERROR \"${target} builds ${bundle_name}, the install table says ${name}\")
      endif()")
    set(copy "
      file(GLOB kettrix_turtle \"${bundle}/*.ttl\")
      file(INSTALL DESTINATION \"\${dir}/${name}\" TYPE MODULE FILES \"$<TARGET_FILE:${module}>\")
      file(INSTALL DESTINATION \"\${dir}/${name}\" TYPE FILE FILES \${kettrix_turtle})")
  else()
    set(check "
      if(NOT \"$<TARGET_FILE_NAME:${target}>\" STREQUAL \"${name}\")
        message(FATAL_ERROR \"${target} builds $<TARGET_FILE_NAME:${target}>, the install table says ${name}\")
      endif()")
    set(copy "
      file(INSTALL DESTINATION \"\${dir}\" TYPE MODULE FILES \"$<TARGET_FILE:${target}>\")")
  endif()
  install(CODE "
    ${check}
    set(kettrix_dirs \"${own_dir}\")
    if(NOT kettrix_dirs)
      if(NOT \"${kettrix_default_prefix}\" STREQUAL \"\" AND CMAKE_INSTALL_PREFIX STREQUAL \"${kettrix_default_prefix}\")
        if(NOT DEFINED ENV{HOME} OR \"\$ENV{HOME}\" STREQUAL \"\")
          message(FATAL_ERROR \"HOME is not set: give an install prefix or KETTRIX_VST_DIR\")
        endif()
        foreach(dir ${home_dirs})
          list(APPEND kettrix_dirs \"\$ENV{HOME}/\${dir}\")
        endforeach()
      else()
        foreach(dir ${prefix_dirs})
          list(APPEND kettrix_dirs \"\${CMAKE_INSTALL_PREFIX}/\${dir}\")
        endforeach()
      endif()
    endif()
    foreach(dir IN LISTS kettrix_dirs)
      ${copy}
    endforeach()
  " COMPONENT plugin)
endforeach()
