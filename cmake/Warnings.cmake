# Compiler warnings for the project's own targets. Every target made here links tevo_warnings
# (PRIVATE, or through the libraries' INTERFACE), so that third-party code built elsewhere keeps
# its own flags and a -Werror build (TEVO_WERROR=ON, the "ci" preset) stops at our warnings only.
add_library(tevo_warnings INTERFACE)
target_compile_options(tevo_warnings INTERFACE -Wall -Wextra)
if(TEVO_WERROR)
  target_compile_options(tevo_warnings INTERFACE -Werror)
endif()

# Links tevo_warnings to each target named.
function(tevo_use_warnings)
  foreach(target ${ARGN})
    target_link_libraries(${target} PRIVATE tevo_warnings)
  endforeach()
endfunction()
