#!/usr/bin/env bash
# Makes the README's screenshot of korvex-viewer on the simulated cameras, in a real X window on a
# virtual display (Xvfb) with SDL's software renderer, as the viewer's test runs it.
#
# Usage: tools/viewer-screenshot.sh [build folder, default build/release] [output, default docs/viewer.png]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
output="${2:-docs/viewer.png}"
cmake --build "${build}" --target korvex_viewer >/dev/null
mkdir -p "$(dirname "${output}")"
xvfb-run -a -s "-screen 0 1600x1000x24" /usr/bin/python3 tests/viewer/screenshot.py \
  "${build}/bin/korvex-viewer" "${output}"
