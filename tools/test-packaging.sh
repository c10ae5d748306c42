#!/usr/bin/env bash
# Korvex as a user gets it: installs a build, makes the Debian packages, and builds the tutorial
# host (examples/host/host.c) outside the source tree three ways, each then run on the simulated
# cameras with no LD_LIBRARY_PATH:
#   1. find_package(Korvex) against the `cmake --install` tree;
#   2. pkg-config against the same tree;
#   3. find_package against the Debian packages installed with dpkg -i (root only; they are
#      removed again at the end).
# The installed korvex command must run the same way.
# Also checks that the README's tutorial shows examples/host/host.c as it is.
#
# Usage: tools/test-packaging.sh [build folder, default build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"

[ -f "${build}/CMakeCache.txt" ] || cmake --preset release -B "${build}" >/dev/null
# The installed components: the adapter, its development files, the tool and the camera libraries.
components=(Runtime Development tools SimulatedCameras)
cmake --build "${build}" -j "${KORVEX_JOBS:-2}" --target Korvex korvex_tool HVDAILT Raw2Rgb hvsim >/dev/null

work="$(mktemp -d)"
debs_installed=0
cleanup() {
  if [ "${debs_installed}" = 1 ]; then
    dpkg -r libkorvex-dev korvex-tools libkorvex1 korvex-simulated-cameras >/dev/null
  fi
  rm -rf "${work}"
}
trap cleanup EXIT

fail() {
  echo "test-packaging: $*" >&2
  exit 1
}

# The README's C tutorial is the block after the marker line, verbatim.
awk '/<!-- examples\/host\/host.c -->/ {found = 1; next}
     found && /^```c$/ {inside = 1; next}
     inside && /^```$/ {exit}
     inside {print}' README.md >"${work}/readme_host.c"
diff -u examples/host/host.c "${work}/readme_host.c" || fail "README tutorial differs from examples/host/host.c"

cp -r examples/host "${work}/host-src"
export KORVEX_SIM_CAMERAS=HV1300UC,HV1300UM

# Runs a host build with no library path: it must find libKorvex.so.1, which must find the
# camera libraries beside it. Each run starts with no settings file, so the warm light of the
# simulated cameras shows until white balance corrects it.
run_host() {
  local label="$1" program="$2"
  local output config
  config="$(mktemp -d -p "${work}")"
  output="$(cd "${work}" && env -u LD_LIBRARY_PATH KORVEX_CONFIG_DIR="${config}" "${program}")" ||
    fail "${label}: host failed: ${output}"
  echo "${output}" | grep -q '^11 of 11 frames exported$' || fail "${label}: ${output}"
  echo "${output}" | awk '/^frame 1:/ {before = $NF} /^after white balance:/ {after = $NF}
    END {exit !(before < 0.9 && after > 0.95 && after < 1.05)}' || fail "${label}: white balance: ${output}"
  echo "${label}: ok ($(readelf -d "${program}" | grep -o 'libKorvex.so.[0-9]*'))"
}

# The korvex command lists the two simulated cameras.
run_tool() {
  local label="$1" program="$2"
  local output
  output="$(env -u LD_LIBRARY_PATH "${program}" list 2>&1)" || fail "${label}: korvex list failed: ${output}"
  echo "${output}" | grep -q HV1300UM || fail "${label}: korvex list: ${output}"
  echo "${label}: korvex list ok"
}

configure_host() {
  local folder="$1"
  shift
  cmake -S "${work}/host-src" -B "${folder}" -G Ninja "$@" >/dev/null
  cmake --build "${folder}" >/dev/null
}

# 1 and 2: the install tree.
prefix="${work}/prefix"
for component in "${components[@]}"; do
  cmake --install "${build}" --prefix "${prefix}" --component "${component}" >/dev/null
done
readelf -d "${prefix}/lib/libKorvex.so" | grep -q 'SONAME.*\[libKorvex.so.1\]' || fail "SONAME is not libKorvex.so.1"
configure_host "${work}/host-cmake" -DCMAKE_PREFIX_PATH="${prefix}"
run_host "find_package, install tree" "${work}/host-cmake/host"
run_tool "install tree" "${prefix}/bin/korvex"

export PKG_CONFIG_PATH="${prefix}/lib/pkgconfig"
# shellcheck disable=SC2046  # pkg-config's flags are meant to split
cc -std=c99 -Wall -Wextra -Wpedantic -Werror -o "${work}/host-pkgconfig" examples/host/host.c \
  $(pkg-config --cflags --libs korvex) -Wl,-rpath,"$(pkg-config --variable=libdir korvex)"
unset PKG_CONFIG_PATH
run_host "pkg-config, install tree" "${work}/host-pkgconfig"

# 3: the Debian packages.
(cd "${build}" && cpack -G DEB -B "${work}/packages" >/dev/null)
if [ "$(id -u)" != 0 ]; then
  echo "Debian packages: made, not installed (dpkg -i needs root)"
  exit 0
fi
debs_installed=1
dpkg -i "${work}"/packages/*.deb >/dev/null
configure_host "${work}/host-deb"
grep -q 'Korvex_DIR:PATH=/usr/' "${work}/host-deb/CMakeCache.txt" || fail "the host did not use the installed package"
run_host "find_package, dpkg -i" "${work}/host-deb/host"
run_tool "dpkg -i" /usr/bin/korvex
echo "packaging: ok"
