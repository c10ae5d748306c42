# The install folders (GNUInstallDirs). On Debian and its derivatives libraries go in the
# multiarch folder, lib/<triplet> (lib/x86_64-linux-gnu), where Debian keeps them under /usr and
# where the Debian packages made from the same install rules put them. The same layout holds for
# any prefix: CMake's find_package and the loader's /usr/local search read lib/<triplet> too.
# KORVEX_MULTIARCH=OFF leaves CMAKE_INSTALL_LIBDIR to GNUInstallDirs (or to the caller).
option(KORVEX_MULTIARCH "Install libraries into lib/<multiarch> where the compiler names one (Debian)" ON)
if(KORVEX_MULTIARCH AND NOT WIN32 AND CMAKE_LIBRARY_ARCHITECTURE)
  set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}" CACHE PATH "Object code libraries" FORCE)
endif()
include(GNUInstallDirs)
