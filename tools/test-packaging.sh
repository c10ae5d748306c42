#!/usr/bin/env bash
# Korvex as a user gets it: installs a build, makes the packages, and builds the tutorial host
# (examples/host/host.c) outside the source tree, each build then run on the simulated cameras
# with no LD_LIBRARY_PATH:
#   1. find_package(Korvex) against the `cmake --install` tree;
#   2. pkg-config against the same tree;
#   3. find_package against the Debian packages installed with dpkg -i (root only; they are
#      removed again at the end);
#   4. find_package against the Windows zip, run under Wine beside the zip's DLLs (when a 64-bit
#      Windows build is there, as tools/test-windows.sh leaves it).
# The installed korvex command (and korvex-viewer, where it is built) must run the same way. Also
# checks that the README's tutorial shows examples/host/host.c as it is, that libraries land in
# the build's library folder (lib/<multiarch> on Debian), in the packages under /usr too, that
# pkg-config gives that folder as a plain path, that lintian finds no error and no warning without
# an override, and that the manual pages carry no parser type words and no repeated exit codes.
#
# Usage: tools/test-packaging.sh [Linux build folder, default build/release]
#        KORVEX_PACKAGING_WINDOWS_BUILD: the Windows build folder, default build/windows-x86_64
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
windows_build="$(realpath -m "${KORVEX_PACKAGING_WINDOWS_BUILD:-build/windows-x86_64}")"
# The installed components: the adapter, its development files, the tool and the camera libraries.
components=(Runtime Development tools SimulatedCameras)
targets=(Korvex korvex_tool HVDAILT Raw2Rgb hvsim)

work="$(mktemp -d)"
debs_installed=0
wineserver=""
cleanup() {
  if [ "${debs_installed}" = 1 ]; then
    dpkg -r libkorvex-dev korvex-tools korvex-viewer libkorvex1 korvex-simulated-cameras >/dev/null 2>&1 || true
  fi
  [ -z "${wineserver}" ] || timeout 60 "${wineserver}" -w  # Wine is done with the unpacked zip
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

# Builds the installed targets in a build folder, quietly unless it fails.
build_targets() {
  local folder="$1"
  cmake --build "${folder}" -j "${KORVEX_JOBS:-2}" --target "${targets[@]}" >"${work}/build.log" 2>&1 ||
    fail "building ${folder} failed: $(tail -20 "${work}/build.log")"
}

[ -f "${build}/CMakeCache.txt" ] || cmake --preset release -B "${build}" >/dev/null
libdir="$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "${build}/CMakeCache.txt")"
windows_targets=("${targets[@]}")  # the viewer is not built for Windows
if grep -q '^KORVEX_VIEWER_BUILT:INTERNAL=1' "${build}/CMakeCache.txt"; then
  components+=(viewer)
  targets+=(korvex_viewer)
fi
build_targets "${build}"
cp -r examples/host "${work}/host-src"
export KORVEX_SIM_CAMERAS=HV1300UC,HV1300UM

# Runs a host with no library path (label, then the command). Every run must export all frames
# and end with a neutral colour after white balance. Runs that start with no settings file
# (KORVEX_CONFIG_DIR is fresh each time; Windows keeps its own) must show the warm light of the
# simulated cameras before it.
run_host() {
  local label="$1" fresh="$2"
  shift 2
  local output config
  config="$(mktemp -d -p "${work}")"
  output="$(cd "${work}" && env -u LD_LIBRARY_PATH KORVEX_CONFIG_DIR="${config}" "$@" | tr -d '\r')" ||
    fail "${label}: host failed: ${output}"
  echo "${output}" | grep -q '^11 of 11 frames exported$' || fail "${label}: ${output}"
  echo "${output}" | awk -v fresh="${fresh}" '/^frame 1:/ {before = $NF} /^after white balance:/ {after = $NF}
    END {exit !((fresh == 0 || before < 0.9) && after > 0.95 && after < 1.05)}' ||
    fail "${label}: white balance: ${output}"
  echo "${label}: ok"
}

# The korvex command lists the two simulated cameras.
run_tool() {
  local label="$1"
  shift
  local output
  output="$(env -u LD_LIBRARY_PATH "$@" list 2>&1)" || fail "${label}: korvex list failed: ${output}"
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
readelf -d "${prefix}/${libdir}/libKorvex.so" | grep -q 'SONAME.*\[libKorvex.so.1\]' || fail "SONAME is not libKorvex.so.1"
configure_host "${work}/host-cmake" -DCMAKE_PREFIX_PATH="${prefix}"
readelf -d "${work}/host-cmake/host" | grep -q 'NEEDED.*\[libKorvex.so.1\]' || fail "the host does not need libKorvex.so.1"
run_host "find_package, install tree" 1 "${work}/host-cmake/host"
run_tool "install tree" "${prefix}/bin/korvex"
if [ -x "${prefix}/bin/korvex-viewer" ]; then
  env -u LD_LIBRARY_PATH "${prefix}/bin/korvex-viewer" --help >/dev/null || fail "install tree: korvex-viewer does not run"
  echo "install tree: korvex-viewer runs"
fi

export PKG_CONFIG_PATH="${prefix}/${libdir}/pkgconfig"
[ "$(pkg-config --variable=libdir korvex)" = "${prefix}/${libdir}" ] ||
  fail "pkg-config libdir is $(pkg-config --variable=libdir korvex), not ${prefix}/${libdir}"
# shellcheck disable=SC2046  # pkg-config's flags are meant to split
cc -std=c99 -Wall -Wextra -Wpedantic -Werror -o "${work}/host-pkgconfig" examples/host/host.c \
  $(pkg-config --cflags --libs korvex) -Wl,-rpath,"$(pkg-config --variable=libdir korvex)"
unset PKG_CONFIG_PATH
run_host "pkg-config, install tree" 1 "${work}/host-pkgconfig"

# 3: the Debian packages.
(cd "${build}" && cpack -G DEB -B "${work}/packages" >"${work}/cpack.log" 2>&1) || fail "cpack: $(tail -20 "${work}/cpack.log")"
for package in "${work}"/packages/*.deb; do
  # Each package has its own synopsis, and every library lies in the multiarch folder.
  dpkg-deb -f "${package}" Description | sed -n 1p >>"${work}/synopses"
  if dpkg-deb -c "${package}" | awk '{print $6}' | grep -E '\.so(\.|$)' | grep -v "^\./usr/${libdir}/" >&2; then
    fail "$(basename "${package}") has a library outside /usr/${libdir}"
  fi
done
[ "$(sort -u "${work}/synopses" | wc -l)" = "$(wc -l <"${work}/synopses")" ] ||
  fail "packages share a description: $(cat "${work}/synopses")"
# The adapter cannot load without camera libraries: libkorvex1 brings the stand-ins, or whatever
# provides the maker's libraries under the virtual name the stand-ins provide too.
dpkg-deb -f "${work}"/packages/libkorvex1_*.deb Depends |
  grep -q 'korvex-simulated-cameras (= [^)]*) | korvex-camera-libraries' || fail "libkorvex1 does not ensure camera libraries"
[ "$(dpkg-deb -f "${work}"/packages/korvex-simulated-cameras_*.deb Provides)" = korvex-camera-libraries ] ||
  fail "korvex-simulated-cameras does not provide korvex-camera-libraries"
# Debian's own checks: no error, and no warning without a written override (cmake/debian/).
command -v lintian >/dev/null || fail "lintian is not installed (tools/install-deps.sh installs it)"
lintian --fail-on error,warning --tag-display-limit 0 "${work}"/packages/*.deb >"${work}/lintian.log" 2>&1 ||
  fail "lintian: $(grep -v 'running with root privileges' "${work}/lintian.log")"
echo "Debian packages: lintian passes"
# The manual pages read as pages: the option parser's type words turned into plain ranges and the
# exit codes given once, in their own section.
for page in "${prefix}"/share/man/man1/*.1.gz; do
  zcat "${page}" | grep -E '\b(INT|UINT|FLOAT|TEXT|NUMBER):| in \[[-0-9.]+ - ' >&2 &&
    fail "$(basename "${page}") shows the parser's type words"
  [ "$(zcat "${page}" | grep -c 'Exit codes')" = 0 ] || fail "$(basename "${page}") repeats the exit codes"
done
if [ "$(id -u)" = 0 ]; then
  debs_installed=1
  dpkg -i "${work}"/packages/*.deb >/dev/null
  configure_host "${work}/host-deb"
  grep -q 'Korvex_DIR:PATH=/usr/' "${work}/host-deb/CMakeCache.txt" || fail "the host did not use the installed package"
  run_host "find_package, dpkg -i" 1 "${work}/host-deb/host"
  run_tool "dpkg -i" /usr/bin/korvex
  [ "$(pkg-config --variable=libdir korvex)" = "/usr/${libdir}" ] || fail "dpkg -i: pkg-config libdir is not /usr/${libdir}"
else
  echo "Debian packages: made, not installed (dpkg -i needs root)"
fi

# 4: the Windows zip, unpacked; the host is built against it and runs beside its DLLs, in the
# Wine prefix that the Windows tests made (making one takes minutes).
wine="$(sed -n 's/^KORVEX_WINE:FILEPATH=//p' "${windows_build}/CMakeCache.txt" 2>/dev/null || true)"
wine_prefix="${windows_build}/wineprefix"
if [ -x "${wine}" ] && [ -f "${windows_build}/bin/Korvex.dll" ] && [ -d "${wine_prefix}" ]; then
  targets=("${windows_targets[@]}")
  build_targets "${windows_build}"
  (cd "${windows_build}" && cpack -G ZIP -B "${work}/windows" >/dev/null)
  mkdir "${work}/unzipped"
  (cd "${work}/unzipped" && cmake -E tar xf "${work}"/windows/Korvex-*.zip)
  tree="$(echo "${work}"/unzipped/Korvex-*)"
  for file in bin/Korvex.dll bin/HVDAILT.dll bin/Raw2Rgb.dll bin/hvsim.dll bin/korvex.exe lib/libKorvex.dll.a \
    lib/Korvex.def include/korvex.h include/kx_call.h; do
    [ -f "${tree}/${file}" ] || fail "the Windows zip lacks ${file}"
  done
  configure_host "${work}/host-windows" -DCMAKE_TOOLCHAIN_FILE="${PWD}/cmake/toolchain-mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DKorvex_DIR="${tree}/lib/cmake/Korvex"
  cp "${work}/host-windows/host.exe" "${tree}/bin/"
  export WINEDEBUG=-all WINEPREFIX="${wine_prefix}"
  wineserver="$(dirname "${wine}")/wineserver"
  run_host "find_package, Windows zip (Wine)" 0 timeout 120 "${wine}" "${tree}/bin/host.exe"
  run_tool "Windows zip (Wine)" timeout 120 "${wine}" "${tree}/bin/korvex.exe"
else
  echo "Windows zip: not checked (no 64-bit Windows build with Wine and its prefix in ${windows_build})"
fi
echo "packaging: ok"
