# Installs the plug-in component (default and with a prefix) into a scratch
# folder and checks that Kettrix4.so, Kettrix4.clap (and the Kettrix4.lv2
# bundle, where it is built) landed in the folders each Linux host searches; then
# scripts/install.sh --uninstall removes every copy.
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/home")

function(run)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${SCRATCH}/home ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed: ${out}${err}")
  endif()
endfunction()

function(require_installed)
  foreach(file ${ARGN})
    if(NOT EXISTS "${SCRATCH}/${file}")
      message(FATAL_ERROR "no ${file} after the install")
    endif()
  endforeach()
endfunction()

# The build folder's own prefix is the one CMake chose (the test suite's
# build never sets one), so the default goes to the user's home: ~/.vst
# (Qtractor, REAPER, Bitwig, Carla) and ~/.lxvst (Ardour, Carla).
run(${CMAKE_COMMAND} --install ${BUILD} --component plugin)
require_installed(home/.vst/Kettrix4.so home/.lxvst/Kettrix4.so)
run(${CMAKE_COMMAND} --install ${BUILD} --component plugin --prefix "${SCRATCH}/prefix")
require_installed(prefix/lib/vst/Kettrix4.so prefix/lib/lxvst/Kettrix4.so)
# The CLAP module: ~/.clap (every CLAP host) and <prefix>/lib/clap.
require_installed(home/.clap/Kettrix4.clap prefix/lib/clap/Kettrix4.clap)
set(expected 6)
# The LV2 bundle, whole: ~/.lv2 (every lilv host) and <prefix>/lib/lv2.
if(LV2)
  foreach(dir home/.lv2 prefix/lib/lv2)
    require_installed(${dir}/Kettrix4.lv2/Kettrix4.so ${dir}/Kettrix4.lv2/manifest.ttl ${dir}/Kettrix4.lv2/Kettrix4.ttl)
  endforeach()
  math(EXPR expected "${expected} + 6")
endif()
file(GLOB_RECURSE installed RELATIVE "${SCRATCH}" "${SCRATCH}/*")
list(LENGTH installed count)
if(NOT count EQUAL expected)
  message(FATAL_ERROR "only the plug-in is installed, found: ${installed}")
endif()

# Uninstalling needs no build and leaves no copy behind.
run(${SCRIPT} --uninstall)
run(${SCRIPT} --prefix "${SCRATCH}/prefix" --uninstall)
file(GLOB_RECURSE left RELATIVE "${SCRATCH}" "${SCRATCH}/*")
file(GLOB left_bundles RELATIVE "${SCRATCH}" "${SCRATCH}/home/.lv2/*" "${SCRATCH}/prefix/lib/lv2/*")
list(APPEND left ${left_bundles})
if(left)
  message(FATAL_ERROR "left after --uninstall: ${left}")
endif()
message(STATUS "installed and removed: ${installed}")
