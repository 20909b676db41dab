# libFuzzer builds (-DKETTRIX_FUZZ=ON, clang only). The whole tree is compiled
# with coverage instrumentation, AddressSanitizer and UndefinedBehaviorSanitizer,
# so every reader the fuzz targets reach is instrumented; the targets under
# fuzz/ add the libFuzzer driver when they link.
if(KETTRIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KETTRIX_FUZZ needs clang: configure with "
                        "-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
  endif()
  if(KETTRIX_SANITIZE)
    message(FATAL_ERROR "KETTRIX_FUZZ brings its own sanitizers; leave KETTRIX_SANITIZE off")
  endif()
  set(KETTRIX_FUZZ_FLAGS
      -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
  add_compile_options(${KETTRIX_FUZZ_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()
