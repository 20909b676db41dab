# Installs the plug-in component twice (default and with a prefix) into a
# scratch folder and checks where Kettrix4.so landed.
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}/home")

function(install_plugin)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env HOME=${SCRATCH}/home
                          ${CMAKE_COMMAND} --install ${BUILD} --component plugin ${ARGN}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install ${ARGN} failed: ${out}${err}")
  endif()
endfunction()

# The build folder's own prefix is the one CMake chose (the test suite's
# build never sets one), so the default goes to the user's ~/.vst.
install_plugin()
if(NOT EXISTS "${SCRATCH}/home/.vst/Kettrix4.so")
  message(FATAL_ERROR "no ~/.vst/Kettrix4.so after the default install")
endif()
install_plugin(--prefix "${SCRATCH}/prefix")
if(NOT EXISTS "${SCRATCH}/prefix/lib/vst/Kettrix4.so")
  message(FATAL_ERROR "no <prefix>/lib/vst/Kettrix4.so after an install with a prefix")
endif()
file(GLOB_RECURSE installed RELATIVE "${SCRATCH}" "${SCRATCH}/*")
list(LENGTH installed count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR "only the plug-in is installed, found: ${installed}")
endif()
message(STATUS "installed: ${installed}")
