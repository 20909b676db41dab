# Warnings for our own code. Third-party code is never compiled in this tree.
# CI turns every warning into an error (KETTRIX_WERROR=ON, set by .ci/run).
option(KETTRIX_WERROR "Treat compiler warnings as errors" OFF)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra)
  if(KETTRIX_WERROR)
    add_compile_options(-Werror)
  endif()
endif()
