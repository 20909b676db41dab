# kettrix_add_gtest(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [TIMEOUT s] [LABELS l])
# One GoogleTest program per subject area, registered as one CTest test.
function(kettrix_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  # The user's own settings (the editor's saved zoom) and desktop scale never
  # reach a test: editors open at 100 % unless a test says otherwise.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
                       ENVIRONMENT "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-settings;GDK_SCALE=")
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
