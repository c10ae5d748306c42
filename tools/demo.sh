#!/usr/bin/env bash
# Builds the release configuration and runs the demo host against the simulated cameras.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j "${KORVEX_JOBS:-2}"
mkdir -p out
# The demo keeps its white balance in out/ rather than in the user's own settings folder.
KORVEX_CONFIG_DIR="${KORVEX_CONFIG_DIR:-$(pwd)/out}" ./build/release/bin/korvex_demo out "$@"
