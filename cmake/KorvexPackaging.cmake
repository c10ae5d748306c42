# CPack: a Debian package set on Linux, one zip of the install tree on Windows.
#
# Debian: libkorvex1 (the adapter), libkorvex-dev (header, development link, CMake package,
# korvex.pc), korvex-tools (the korvex command), korvex-viewer (the live window, where it is built)
# and korvex-simulated-cameras (the stand-in camera libraries), each with its own description: a
# synopsis line, then what it holds, in lines of at most 80 columns. The stand-ins have a package
# of their own because they take the camera maker's library names (libHVDAILT.so, libRaw2Rgb.so):
# a user with real cameras installs the maker's libraries instead and must not get stand-ins in
# the system library folder. The adapter loads only with one of the two sets present, so
# libkorvex1 depends on the stand-ins or on korvex-camera-libraries, the virtual package that a
# package of the maker's libraries provides, as the stand-ins do. Each package carries its
# copyright, the change log, and the lintian overrides it needs, each with its reason
# (cmake/debian/).
#
# Windows: the zip holds the whole tree, stand-in DLLs included, so that it runs as unpacked; with
# real cameras the maker's HVDAILT.dll and Raw2Rgb.dll replace the stand-ins (hvsim.dll goes).
set(KORVEX_PACKAGE_MAINTAINER "Korvex maintainers <maintainers@korvex.invalid>"
    CACHE STRING "Maintainer field of the Debian packages: a name and a mail address")
set(CPACK_PACKAGE_NAME Korvex)
set(CPACK_PACKAGE_VENDOR Korvex)
set(CPACK_PACKAGE_CONTACT "${KORVEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_COMPONENTS_ALL Runtime Development tools SimulatedCameras)
if(TARGET korvex_viewer)
  list(APPEND CPACK_COMPONENTS_ALL viewer)
endif()

if(WIN32)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Camera adapter with one flat C interface to industrial cameras")
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_SYSTEM_NAME windows-${CMAKE_SYSTEM_PROCESSOR})
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  # No package-wide summary: CPack would put it first in every package's description, where each
  # package's own first line belongs.
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # Installed with DESTDIR, so that the install rules see the prefix /usr (korvex.pc names it).
  set(CPACK_SET_DESTDIR ON)
  set(CPACK_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_STRIP_FILES ON)
  # Versioned dependencies on the C and C++ run-time libraries, as dpkg-shlibdeps finds them. Our
  # own libraries have no dependency information until installed; they are found in the build's
  # library folder and left to the relations below.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
  # Each package of another depends on that one at the same version: "libkorvex1 (= 1.0.0)".
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
  set(CPACK_COMPONENT_TOOLS_DEPENDS Runtime)
  set(CPACK_COMPONENT_VIEWER_DEPENDS Runtime)
  set(korvex_camera_libraries korvex-camera-libraries)

  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libkorvex1)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS
      "korvex-simulated-cameras (= ${PROJECT_VERSION}) | ${korvex_camera_libraries}")
  # A shlibs entry for packages that link the adapter, and the ldconfig trigger. Written here
  # rather than generated, because generation would look at the stand-ins' unversioned sonames too.
  # The trigger updates the loader's cache; the maintainer scripts given stand in for CPack's,
  # which would run ldconfig a second time.
  file(WRITE ${PROJECT_BINARY_DIR}/debian/shlibs "libKorvex 1 libkorvex1 (>= ${PROJECT_VERSION})\n")
  file(WRITE ${PROJECT_BINARY_DIR}/debian/triggers "activate-noawait ldconfig\n")
  set(korvex_library_control ${PROJECT_BINARY_DIR}/debian/triggers ${CMAKE_CURRENT_LIST_DIR}/debian/postinst
                             ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/shlibs ${korvex_library_control})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Korvex camera adapter library
The shared library libKorvex.so.1: one flat C interface (37 Zq functions)
through which a host drives up to ten HV- and SV-series industrial cameras.
It needs the camera maker's HVDAILT and Raw2Rgb libraries, or the simulated
cameras of korvex-simulated-cameras.")

  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkorvex-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "Korvex camera adapter, development files
The header korvex.h, the development link libKorvex.so, the CMake package
(find_package(Korvex) gives Korvex::Korvex) and korvex.pc for pkg-config.")

  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME korvex-tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_TOOLS_DESCRIPTION "Korvex command-line tool for industrial cameras
korvex lists the cameras, shows one, snaps a frame into an image file,
streams with frames per second and export times, and records raw frames
that the simulated cameras replay.")

  set(CPACK_DEBIAN_VIEWER_PACKAGE_NAME korvex-viewer)
  set(CPACK_DEBIAN_VIEWER_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_VIEWER_DESCRIPTION "Korvex live viewer for industrial cameras
korvex-viewer shows the cameras live, side by side, with their controls
beside the images (exposure, gain, resolution mode, output window, colour,
Bayer layout, white balance, gamma, cross-hair), frames per second, export
times, a histogram per channel, snapshots and recordings. A desktop program
(SDL2, Dear ImGui), kept apart so that a headless host needs none of it.")

  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_NAME korvex-simulated-cameras)
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_PROVIDES ${korvex_camera_libraries})
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_CONTROL_EXTRA ${korvex_library_control})
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_DESCRIPTION "Simulated cameras for Korvex (HVDAILT and Raw2Rgb stand-ins)
Stand-ins for the camera maker's HVDAILT and Raw2Rgb libraries, with the
simulator hvsim: cameras with realistic identification, timing and frames,
so that Korvex runs with no hardware. They carry the maker's library names:
with real cameras install the maker's libraries instead.")

  include(${CMAKE_CURRENT_LIST_DIR}/KorvexDebianFiles.cmake)
endif()

include(CPack)
