# The files every Debian package carries under /usr/share/doc/<package>: the copyright and the
# change log (compressed, as Debian keeps them), and where a package needs them its lintian
# overrides (cmake/debian/<package>.lintian-overrides, each with its reason). Included by
# KorvexPackaging.cmake once the package names are set.
set(korvex_debian_source ${CMAKE_CURRENT_LIST_DIR}/debian)
set(korvex_debian_build ${PROJECT_BINARY_DIR}/debian)
# Both name the maintainer, KORVEX_PACKAGE_MAINTAINER.
configure_file(${korvex_debian_source}/copyright.in ${korvex_debian_build}/copyright @ONLY)
configure_file(${korvex_debian_source}/changelog.in ${korvex_debian_build}/changelog @ONLY)

# gzip -n leaves out the name and time, so that the same change log makes the same file.
execute_process(COMMAND gzip -9 -n -c ${korvex_debian_build}/changelog
                OUTPUT_FILE ${korvex_debian_build}/changelog.gz.part RESULT_VARIABLE korvex_gzip_result)
if(NOT korvex_gzip_result EQUAL 0)
  message(FATAL_ERROR "gzip of the Debian change log failed: ${korvex_gzip_result}")
endif()
file(RENAME ${korvex_debian_build}/changelog.gz.part ${korvex_debian_build}/changelog.gz)

foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES ${korvex_debian_build}/copyright ${korvex_debian_build}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  set(overrides ${korvex_debian_source}/${package}.lintian-overrides)
  if(EXISTS ${overrides})
    install(FILES ${overrides} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${package}
            COMPONENT ${component})
  endif()
endforeach()
