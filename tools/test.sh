#!/usr/bin/env bash
# Builds and runs the whole test suite: a release build, then AddressSanitizer with
# UndefinedBehaviorSanitizer, then ThreadSanitizer, and the Windows builds (64- and 32-bit) under
# Wine when its tools are present (tools/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${KORVEX_JOBS:-2}"

tools/check-format.sh

for preset in release asan tsan; do
  echo "=== ${preset} ==="
  cmake --preset "${preset}" >/dev/null
  cmake --build --preset "${preset}" -j "${jobs}"
  ctest --preset "${preset}" -j "${jobs}"
done
tools/test-python.sh build/release
tools/test-fuzz.sh

if [ -x tools/test-windows.sh ]; then
  echo "=== Windows, 64- and 32-bit (Wine) ==="
  tools/test-windows.sh
fi
tools/test-packaging.sh build/release  # after the Windows tests: it also checks their 64-bit zip
