#!/usr/bin/env bash
# Builds and runs the whole test suite: a release build, then AddressSanitizer with
# UndefinedBehaviorSanitizer, then ThreadSanitizer, and the Windows builds (64- and 32-bit) under
# Wine when its tools are present (tools/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${KORVEX_JOBS:-2}"
# ccache (installed by tools/install-deps.sh) keeps compiled objects between runs on one machine, so
# a second run recompiles only what changed. Paths are taken relative to the checkout, so a fresh
# clone in another folder still finds them. KORVEX_CCACHE=0 builds without it, and so does a
# machine where the cache folder cannot be written (ccache would then fail every compile).
ccache_usable() {
  local dir
  command -v ccache >/dev/null && dir=$(ccache -k cache_dir 2>/dev/null) && mkdir -p "${dir}" 2>/dev/null &&
    [ -w "${dir}" ]
}
if [ "${KORVEX_CCACHE:-1}" != 0 ] && ccache_usable; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="${PWD}" CCACHE_NOHASHDIR=1
  echo "compiling through ccache"
fi
took() { echo "--- $1 took $((SECONDS - started)) s"; started=${SECONDS}; }
started=${SECONDS}

tools/check-format.sh

for preset in release asan tsan; do
  echo "=== ${preset} ==="
  cmake --preset "${preset}" >/dev/null
  cmake --build --preset "${preset}" -j "${jobs}"
  ctest --preset "${preset}" -j "${jobs}"
  took "${preset}"
done
tools/test-python.sh build/release
took "Python package"
tools/test-fuzz.sh
took "settings fuzzer"

if [ -x tools/test-windows.sh ]; then
  echo "=== Windows, 64- and 32-bit (Wine) ==="
  tools/test-windows.sh
  took "Windows"
fi
tools/test-packaging.sh build/release  # after the Windows tests: it also checks their 64-bit zip
took "packaging"
echo "all suites passed in $((SECONDS / 60)) min $((SECONDS % 60)) s"
