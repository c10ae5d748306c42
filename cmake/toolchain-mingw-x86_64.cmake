# Cross-build for 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64), run under
# 64-bit Wine, which runs on hosts that cannot execute 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KORVEX_MINGW_PREFIX x86_64-w64-mingw32)
set(KORVEX_WINE_PROGRAM wine64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
