# CPack: a Debian package set on Linux, one zip of the install tree on Windows.
#
# Debian: libkorvex1 (the adapter), libkorvex-dev (header, development link, CMake package,
# korvex.pc), korvex-tools (the korvex command) and korvex-simulated-cameras (the stand-in camera
# libraries). The stand-ins have a package of their own because they take the camera maker's
# library names (libHVDAILT.so, libRaw2Rgb.so): a user with real cameras installs the maker's
# libraries instead and must not get stand-ins in the system library folder. libkorvex1
# recommends them, since the adapter loads only with one of the two sets present.
#
# Windows: the zip holds the whole tree, stand-in DLLs included, so that it runs as unpacked; with
# real cameras the maker's HVDAILT.dll and Raw2Rgb.dll replace the stand-ins (hvsim.dll goes).
set(CPACK_PACKAGE_NAME Korvex)
set(CPACK_PACKAGE_VENDOR Korvex)
set(CPACK_PACKAGE_CONTACT "Korvex maintainers <korvex@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Camera adapter with one flat C interface to industrial cameras")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_COMPONENTS_ALL Runtime Development tools SimulatedCameras)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
  set(CPACK_SYSTEM_NAME windows-${CMAKE_SYSTEM_PROCESSOR})
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
  set(CPACK_COMPONENT_TOOLS_DEPENDS Runtime)
  set(korvex_cxx_runtime "libc6, libstdc++6, libgcc-s1")

  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libkorvex1)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS ${korvex_cxx_runtime})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS korvex-simulated-cameras)
  # A shlibs entry for packages that link the adapter, and the ldconfig trigger. Written here
  # rather than generated, because generation would look at the stand-ins' unversioned sonames too.
  file(WRITE ${PROJECT_BINARY_DIR}/debian/shlibs "libKorvex 1 libkorvex1 (>= ${PROJECT_VERSION})\n")
  file(WRITE ${PROJECT_BINARY_DIR}/debian/triggers "activate-noawait ldconfig\n")
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/shlibs
                                                 ${PROJECT_BINARY_DIR}/debian/triggers)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
      "Korvex camera adapter: the shared library libKorvex.so.1 with its 37 Zq functions")

  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkorvex-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
      "Korvex camera adapter: korvex.h, the CMake package (Korvex::Korvex) and korvex.pc")

  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME korvex-tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS ${korvex_cxx_runtime})
  set(CPACK_COMPONENT_TOOLS_DESCRIPTION
      "korvex: list cameras, show one, snap a frame, stream with statistics, record raw frames")

  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_NAME korvex-simulated-cameras)
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_DEPENDS ${korvex_cxx_runtime})
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/triggers)
  set(CPACK_DEBIAN_SIMULATEDCAMERAS_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_COMPONENT_SIMULATEDCAMERAS_DESCRIPTION
      "Stand-ins for the camera maker's HVDAILT and Raw2Rgb libraries: simulated cameras, no hardware")
endif()

include(CPack)
