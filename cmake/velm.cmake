# Project-wide compile settings, applied to every target through velm_target().

if(VELM_SANITIZE)
  set(VELM_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${VELM_SANITIZER_FLAGS})
  add_link_options(${VELM_SANITIZER_FLAGS})
endif()

# velm_target(<target>): warnings (-Wall -Wextra -Wshadow; errors with VELM_WERROR,
# which the test build sets) and the shared include root (src/).
function(velm_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(VELM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
