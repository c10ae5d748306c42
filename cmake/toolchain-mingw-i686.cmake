# Cross-build for 32-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-i686), run under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KORVEX_MINGW_PREFIX i686-w64-mingw32)
set(KORVEX_WINE_PROGRAM wine)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# Floating point in SSE2 registers rather than x87's 80-bit stack, so that white-balance ratios
# and colour tables round exactly as in the 64-bit builds (the converter already needs SSE2).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
