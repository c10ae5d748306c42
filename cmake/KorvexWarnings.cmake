# Warnings on and clean for every target of the project.
function(korvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(KORVEX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
option(KORVEX_WERROR "Treat warnings as errors" OFF)
