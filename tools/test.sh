#!/usr/bin/env bash
# Builds and runs the whole test suite: a release build, then AddressSanitizer with
# UndefinedBehaviorSanitizer, then ThreadSanitizer, and the Windows builds (64- and 32-bit) under
# Wine when its tools are present (tools/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${KORVEX_JOBS:-2}"
source tools/ccache-env.sh
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
