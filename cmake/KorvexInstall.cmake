# What `cmake --install` puts where, and the packages CPack makes from it.
#
# Components:
#   Runtime           the adapter (libKorvex.so.1, Korvex.dll)
#   Development       korvex.h and kx_call.h, the development link or import library, the CMake package
#                     (find_package(Korvex) -> Korvex::Korvex) and korvex.pc
#   SimulatedCameras  the stand-in camera libraries (HVDAILT, Raw2Rgb) and the simulator they
#                     need (hvsim), for running without hardware; the maker's libraries replace them
#   tools             the korvex command-line tool (installed by cli/)
#   viewer            korvex-viewer, the live window (installed by viewer/, where it is built)
#
# Every library lands in one folder (lib/ on Linux, bin/ on Windows), so the installed adapter
# finds the camera libraries beside it: on Linux through a $ORIGIN run path, on Windows because
# a DLL's own folder is searched. On Linux the run path is a RUNPATH, so LD_LIBRARY_PATH still
# puts the maker's libraries in front of the stand-ins.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KORVEX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Korvex)

if(NOT WIN32)
  # The stand-ins call no C library function themselves, so Debian's linker default (--as-needed)
  # would leave the C library out of what they need; a shared library names it, so that it is
  # loaded (and its finalisers run) whoever loads the stand-in. (--no-as-needed around -lc alone
  # is not enough: the driver's own -lc comes later, as needed.)
  target_link_options(HVDAILT PRIVATE LINKER:--no-as-needed)
  target_link_options(Raw2Rgb PRIVATE LINKER:--no-as-needed)
  set_target_properties(Korvex HVDAILT PROPERTIES INSTALL_RPATH "$ORIGIN")
  foreach(program korvex_tool korvex_viewer)
    if(TARGET ${program})
      set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    endif()
  endforeach()
endif()

install(TARGETS Korvex EXPORT KorvexTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# korvex.h includes kx_call.h, the calling convention it shares with the camera libraries.
install(FILES ${PROJECT_SOURCE_DIR}/adapter/include/korvex.h ${PROJECT_SOURCE_DIR}/camera_sdk/include/kx_call.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        COMPONENT Development)

# Hosts link only the adapter: the stand-ins' Windows import libraries are left out.
install(TARGETS HVDAILT Raw2Rgb hvsim
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT SimulatedCameras
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT SimulatedCameras
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT SimulatedCamerasImports EXCLUDE_FROM_ALL)

# The CMake package: relocatable, found from wherever the tree is unpacked.
install(EXPORT KorvexTargets NAMESPACE Korvex:: DESTINATION ${KORVEX_INSTALL_CMAKEDIR}
        COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/KorvexConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/KorvexConfig.cmake
                              INSTALL_DESTINATION ${KORVEX_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KorvexConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KorvexConfig.cmake ${PROJECT_BINARY_DIR}/KorvexConfigVersion.cmake
        DESTINATION ${KORVEX_INSTALL_CMAKEDIR} COMPONENT Development)

# korvex.pc. On Windows it names the folders relative to its own (pkg-config's ${pcfiledir}), so
# that the zip works unpacked anywhere. Elsewhere it names the prefix the tree is installed into,
# written at install time, so that pkg-config gives plain folders (/usr/lib/x86_64-linux-gnu, the
# run path a host links with) rather than .../pkgconfig/../../lib; the Debian packages are
# installed with DESTDIR (see KorvexPackaging.cmake), so theirs names /usr.
if(WIN32)
  file(RELATIVE_PATH KORVEX_PC_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
  string(REGEX REPLACE "/$" "" KORVEX_PC_PREFIX "\${pcfiledir}/${KORVEX_PC_PREFIX}")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/korvex.pc.in ${PROJECT_BINARY_DIR}/pkgconfig/korvex.pc @ONLY)
else()
  set(KORVEX_PC_PREFIX "@KORVEX_PC_PREFIX@")  # kept for the install-time pass below
  configure_file(${CMAKE_CURRENT_LIST_DIR}/korvex.pc.in ${PROJECT_BINARY_DIR}/pkgconfig/korvex.pc.in @ONLY)
  install(CODE "get_filename_component(KORVEX_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
                configure_file(\"${PROJECT_BINARY_DIR}/pkgconfig/korvex.pc.in\"
                               \"${PROJECT_BINARY_DIR}/pkgconfig/korvex.pc\" @ONLY)"
          COMPONENT Development)
endif()
install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/korvex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT Development)

include(${CMAKE_CURRENT_LIST_DIR}/KorvexManPages.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/KorvexPackaging.cmake)
