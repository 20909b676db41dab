# Installs the plug-in component (default and with a prefix) into a scratch
# folder and checks that Kettrix4.so landed in the folders each Linux host
# searches; then scripts/install.sh --uninstall removes every copy.
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
file(GLOB_RECURSE installed RELATIVE "${SCRATCH}" "${SCRATCH}/*")
list(LENGTH installed count)
if(NOT count EQUAL 4)
  message(FATAL_ERROR "only the plug-in is installed, found: ${installed}")
endif()

# Uninstalling needs no build and leaves no copy behind.
run(${SCRIPT} --uninstall)
run(${SCRIPT} --prefix "${SCRATCH}/prefix" --uninstall)
file(GLOB_RECURSE left RELATIVE "${SCRATCH}" "${SCRATCH}/*")
if(left)
  message(FATAL_ERROR "left after --uninstall: ${left}")
endif()
message(STATUS "installed and removed: ${installed}")
