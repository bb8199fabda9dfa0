# KEYLEARN_SANITIZER=address,undefined or thread instruments every target of the build.
if(KEYLEARN_SANITIZER)
  set(_flags -fsanitize=${KEYLEARN_SANITIZER} -fno-omit-frame-pointer -g)
  if(KEYLEARN_SANITIZER MATCHES "undefined")
    list(APPEND _flags -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${_flags})
  add_link_options(-fsanitize=${KEYLEARN_SANITIZER})
endif()

# Tests of the device library and the simulated remote carry this label; the ThreadSanitizer
# build runs only them, since Qt itself is not instrumented.
set(KEYLEARN_TSAN_LABEL threads)
