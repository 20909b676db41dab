# AddressSanitizer + UndefinedBehaviorSanitizer for the whole tree. Any
# undefined-behaviour report aborts the test that caused it.
if(KETTRIX_SANITIZE)
  set(KETTRIX_SANITIZE_FLAGS
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${KETTRIX_SANITIZE_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()
