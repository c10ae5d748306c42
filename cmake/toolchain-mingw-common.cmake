# Cross-build for Windows with MinGW-w64, shared by both architectures. The including toolchain
# file sets CMAKE_SYSTEM_PROCESSOR, KORVEX_MINGW_PREFIX and KORVEX_WINE_PROGRAM.
#
# The -posix compilers are named explicitly: they carry the winpthreads-based std::thread that the
# simulated camera library needs (the -win32 variant has none). The runtime is linked statically,
# so that every DLL and program needs nothing beyond Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KORVEX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVEX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVEX_MINGW_PREFIX}-windres)
set(CMAKE_AR ${KORVEX_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${KORVEX_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${KORVEX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread go into each module; -static makes the linker take the static
# winpthread rather than its DLL.
set(korvex_static_runtime "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${korvex_static_runtime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${korvex_static_runtime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${korvex_static_runtime}")

# Test programs run under Wine on the build machine.
find_program(KORVEX_WINE ${KORVEX_WINE_PROGRAM} PATHS /usr/lib/wine)  # Debian keeps wine64 there
if(KORVEX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVEX_WINE})
endif()

# Release at -O2: MinGW's GCC 12 at -O3 reports false -Wrestrict overlaps inside std::string
# concatenation on the 32-bit target (GCC bug 105651), which -Werror would turn into failures.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags for Release builds")
