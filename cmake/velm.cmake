# Project-wide compile settings: the sanitizer flags for every target, and
# velm_target() for each target's warnings.

if(VELM_SANITIZE)
  set(VELM_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${VELM_SANITIZER_FLAGS})
  add_link_options(${VELM_SANITIZER_FLAGS})
endif()

# velm_target(<target>): the warning flags, and -Werror when VELM_WERROR is on.
# The shared include root (src/) comes with kelncore, which every target links.
function(velm_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(VELM_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
