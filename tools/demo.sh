#!/usr/bin/env bash
# Builds the demo host (and the libraries it loads) in the release configuration and runs it
# against the simulated cameras. It compiles through the same cache as tools/test.sh, which then
# reuses what the demo built.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/ccache-env.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "${KORVEX_JOBS:-2}" --target korvex_demo
mkdir -p out
# The demo keeps its white balance in out/ rather than in the user's own settings folder.
KORVEX_CONFIG_DIR="${KORVEX_CONFIG_DIR:-$(pwd)/out}" ./build/release/bin/korvex_demo out "$@"
