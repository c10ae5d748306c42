#!/usr/bin/env bash
# Builds the release configuration and runs the demo host against the simulated cameras.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j "${KORVEX_JOBS:-2}"
mkdir -p out
./build/release/bin/korvex_demo out "$@"
