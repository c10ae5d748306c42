# The manual pages korvex.1 and korvex-viewer.1, made from each program's own --help (so that they
# cannot drift from it) and the hand-written sections in docs/, compressed as Debian keeps them.
# They run the programs, so only where those run on the build machine.
find_program(KORVEX_HELP2MAN help2man)
if(CMAKE_CROSSCOMPILING)
  message(STATUS "Manual pages: not made when cross-compiling (the programs cannot run to print their help)")
  return()
endif()
if(NOT KORVEX_HELP2MAN)
  message(STATUS "Manual pages: help2man not found, skipped (tools/install-deps.sh installs it)")
  return()
endif()

# Program target, page name, its NAME line, its commands (comma-separated), and the component that
# installs it.
function(korvex_man_page target page name commands component)
  set(output ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  set(include ${PROJECT_SOURCE_DIR}/docs/${page}.1.include)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:${target}> -DVERSION=${PROJECT_VERSION} -DHELP2MAN=${KORVEX_HELP2MAN} "-DNAME=${name}"
            -DINCLUDE=${include} "-DCOMMANDS=${commands}" -DOUTPUT=${output}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/man_page.cmake
    DEPENDS ${target} ${include} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/man_page.cmake
    COMMENT "Making the manual page ${page}.1 from ${page} --help"
    VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${output})
  install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endfunction()

korvex_man_page(korvex_tool korvex "control Korvex cameras from a terminal" "list,info,snap,stream,record" tools)
if(TARGET korvex_viewer)
  korvex_man_page(korvex_viewer korvex-viewer "show Korvex cameras live with their controls" "" viewer)
endif()
