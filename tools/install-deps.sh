#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
set -euo pipefail

packages=(
  # The build, the tests, the benchmarks, the korvex tool (CLI11, stb; help2man makes its manual
  # page from its help) and the format check.
  cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libstb-dev libcli11-dev help2man pkgconf
  clang-format
  # tools/test-packaging.sh checks the Debian packages with it.
  lintian
  # Keeps compiled objects between test runs on one machine (tools/test.sh).
  ccache
  # The Python package and its tests, with Debian's own Python (no package index needed), and
  # Pillow for its example.
  python3-numpy python3-pytest python3-venv python3-setuptools python3-wheel python3-pip python3-pil
  # The Windows builds and their tests under Wine: MinGW-w64 for 32 and 64 bits (with the
  # posix-threads compilers), GoogleTest's sources to build it for Windows, 32- and 64-bit Wine and
  # a virtual display. 32-bit Wine installs everywhere but runs only where the kernel runs 32-bit
  # programs.
  g++-mingw-w64-i686 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix
  googletest wine wine32:i386 wine64 xvfb
  # korvex-viewer (SDL2 and Dear ImGui, whose SDL back ends it takes from libimgui-dev) and its test
  # in a real X window: Xvfb (above) and xwd (x11-apps) for the screenshots.
  libsdl2-dev libimgui-dev x11-apps
  # The 32-bit Wine runs where the kernel cannot run 32-bit programs: an emulated x86-64 machine
  # (tools/in-emulated-machine.sh) with a static busybox as its first program; fakeroot makes its
  # start-up image for a user other than root. Its kernel comes from Debian's linux-image-amd64,
  # downloaded (not installed) at first use.
  qemu-system-x86 busybox-static fakeroot
  # The settings-file fuzzer (tools/test-fuzz.sh): clang with libFuzzer and the sanitizer runtimes.
  clang libclang-rt-14-dev
)

need=()
for package in "${packages[@]}"; do
  dpkg -s "${package}" >/dev/null 2>&1 || need+=("${package}")
done
[ "${#need[@]}" -gt 0 ] || exit 0

export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq "${need[@]}"
