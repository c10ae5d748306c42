#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail
need=()
for package in cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev; do
  dpkg -s "${package}" >/dev/null 2>&1 || need+=("${package}")
done
if [ "${#need[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${need[@]}"
fi
