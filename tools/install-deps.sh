#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail
need=()
for package in cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libstb-dev libcli11-dev pkgconf clang-format; do
  dpkg -s "${package}" >/dev/null 2>&1 || need+=("${package}")
done
if [ "${#need[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${need[@]}"
fi

# The Python package and its tests, with Debian's own Python (no package index needed), and
# Pillow for its example.
python=()
for package in python3-numpy python3-pytest python3-venv python3-setuptools python3-wheel python3-pip python3-pil; do
  dpkg -s "${package}" >/dev/null 2>&1 || python+=("${package}")
done
if [ "${#python[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${python[@]}"
fi

# The Windows builds and their tests under Wine: MinGW-w64 for 32 and 64 bits (with the
# posix-threads compilers), GoogleTest's sources to build it for Windows, 32- and 64-bit Wine and a
# virtual display. 32-bit Wine installs everywhere but runs only where the kernel runs 32-bit programs.
windows=()
for package in g++-mingw-w64-i686 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix \
               googletest wine wine32:i386 wine64 xvfb; do
  dpkg -s "${package}" >/dev/null 2>&1 || windows+=("${package}")
done
if [ "${#windows[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq "${windows[@]}"
fi

# The settings-file fuzzer (tools/test-fuzz.sh): clang with libFuzzer and the sanitizer runtimes.
fuzz=()
for package in clang libclang-rt-14-dev; do
  dpkg -s "${package}" >/dev/null 2>&1 || fuzz+=("${package}")
done
if [ "${#fuzz[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${fuzz[@]}"
fi
