#!/usr/bin/env bash
# The demo built for Windows (linked through the import library) and the Linux demo, both with
# frames made on demand (KORVEX_DEMO_MANUAL_FRAMES) so that they see the same frames, must write
# the same set of PNG files with the same pixels.
#
# usage: demo_comparison.sh LINUX_DEMO WINDOWS_DEMO_EXE
#   KORVEX_WINE names the Wine loader for the demo's architecture (default: wine); the Wine
#   prefix's settings file should not exist, as the Linux demo starts without one.
#   KORVEX_TIMEOUT_SCALE multiplies the time limit of the Wine run (slow, emulated machines).
# Prints one "PASS name" or "FAIL name" line per check; exits non-zero when any failed.
set -uo pipefail
linux_demo=$1 windows_demo=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "${work}"' EXIT
mkdir -p "${work}/linux" "${work}/windows" "${work}/config"
export KORVEX_DEMO_MANUAL_FRAMES=1

KORVEX_CONFIG_DIR="${work}/config" "${linux_demo}" "${work}/linux" > "${work}/linux.log" 2>&1
linux_status=$?
# Run from the output folder; Windows finds the DLLs beside the program.
(cd "${work}/windows" && timeout $((300 * ${KORVEX_TIMEOUT_SCALE:-1})) "${KORVEX_WINE:-wine}" "${windows_demo}" .) 2>&1 | tr -d '\r' > "${work}/windows.log"
windows_status=${PIPESTATUS[0]}

if [ "${linux_status}" -eq 0 ] && [ "${windows_status}" -eq 0 ]; then
  echo "PASS demo: runs on both"
else
  echo "FAIL demo: runs on both (Linux ${linux_status}, Windows ${windows_status})"
  cat "${work}/linux.log" "${work}/windows.log"
fi
if "${here}/same_png_pixels.py" "${work}/linux" "${work}/windows"; then
  echo "PASS demo: the same PNG files with the same pixels on Linux and Windows"
else
  echo "FAIL demo: the same PNG files with the same pixels on Linux and Windows"
fi
