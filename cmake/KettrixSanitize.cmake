# AddressSanitizer + UndefinedBehaviorSanitizer for the whole tree. Any
# undefined-behaviour report aborts the test that caused it.
if(KETTRIX_SANITIZE)
  set(KETTRIX_SANITIZE_FLAGS
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${KETTRIX_SANITIZE_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer, for the concurrency tests of the editor (one small build:
# only the test programs labelled "threads" are built and run with it).
option(KETTRIX_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
if(KETTRIX_SANITIZE_THREAD)
  if(KETTRIX_SANITIZE)
    message(FATAL_ERROR "KETTRIX_SANITIZE_THREAD and KETTRIX_SANITIZE cannot be combined")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
