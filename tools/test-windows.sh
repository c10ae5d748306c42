#!/usr/bin/env bash
# Builds the Windows DLLs for both architectures and runs the Windows tests under Wine, in
# throwaway Wine prefixes under build/ and on a virtual display (Xvfb), so no person is needed.
#
#   windows-x86_64  built, checked and run in full under 64-bit Wine on every host;
#   windows-i686    built and checked everywhere, and its Wine runs, the same as the 64-bit ones,
#                   run natively where the kernel executes 32-bit programs
#                   (tests/windows/probe_32bit.sh executes one to find out), otherwise inside an
#                   emulated x86-64 machine (tools/in-emulated-machine.sh, some 10 minutes;
#                   KORVEX_WINDOWS_EMULATED=0 keeps them out of it, =always sends them there
#                   even where they could run natively); they are counted as skipped,
#                   with the reason, only where neither runs them.
#
# KORVEX_WINDOWS_NO_32BIT=1 forces the skip of the 32-bit runs. The Linux programs compared with
# the Windows ones come from KORVEX_LINUX_BUILD (default build/release, the release preset); the
# Windows builds go to KORVEX_WINDOWS_BUILD-ARCH (default build/windows-ARCH, the presets' folders).
# Prints "N passed, M failed, K skipped" last; exits non-zero when anything failed.
#
# tools/test-windows.sh --wine-runs ARCH  runs only the Wine runs of the built ARCH (the emulated
# machine runs this). KORVEX_TIMEOUT_SCALE multiplies their time limits; KORVEX_WINEPREFIX puts
# the Wine prefix elsewhere than in the build folder.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs="${KORVEX_JOBS:-2}"
scale="${KORVEX_TIMEOUT_SCALE:-1}"
export KORVEX_TIMEOUT_SCALE="${scale}"  # for the comparison scripts

# Wine needs a display for the message boxes: run under Xvfb unless one is there.
if [ -z "${DISPLAY:-}" ] && [ -z "${KORVEX_UNDER_XVFB:-}" ]; then
  exec env KORVEX_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
source tests/windows/probe_32bit.sh
source tools/ccache-env.sh

passed=0 failed=0 skipped=0
pass() { echo "PASS $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }  # check NAME COMMAND
count_lines() {  # adds the PASS and FAIL lines of a log
  passed=$((passed + $(grep -c '^PASS ' "$1"))) failed=$((failed + $(grep -c '^FAIL ' "$1")))
}
# The Wine runs per architecture: each gtest program, the settings file, the C host, the demo.
wine_runs=(korvex_win_platform_tests korvex_win_api_tests hvsim_replay_windows_tests "settings file" korvex_c_host korvex_demo)

# The Linux halves of the comparisons: the settings-file probe and the demo.
linux_build="${KORVEX_LINUX_BUILD:-build/release}"
linux_bin="${root}/${linux_build}/bin"
windows_build="${KORVEX_WINDOWS_BUILD:-build/windows}"

# Builds the preset windows-ARCH; the DLLs and programs land in build/windows-ARCH/bin.
build() {
  echo "=== windows-$1: build ==="
  cmake --preset "windows-$1" -B "${windows_build}-$1" >/dev/null && cmake --build "${windows_build}-$1" -j "${jobs}"
}

# Dependencies, export table and the import tables of the hosts linked through libKorvex.dll.a.
static_checks() {
  local arch=$1 objdump="$2-objdump" bin="${root}/${windows_build}-$1/bin" dll allowed imports defined_exports
  # The 37 names of the build's export list (made from the list of exported names) with their
  # ordinals, "ordinal name" per line.
  defined_exports=$(sed -n 's/^ *\(Zq[A-Za-z]*\) .*@\([0-9]*\)$/\2 \1/p' "${root}/${windows_build}-${arch}/lib/Korvex.def")
  echo "=== windows-${arch}: static checks ==="
  # Each DLL needs nothing beyond Windows' own DLLs (and Korvex.dll the two camera DLLs).
  local system_dlls='^(KERNEL32|USER32|msvcrt|ADVAPI32)\.dll$'
  for dll in Korvex HVDAILT Raw2Rgb hvsim; do
    case "${dll}" in
      Korvex) allowed="${system_dlls}|^(HVDAILT|Raw2Rgb)\.dll$" ;;
      HVDAILT) allowed="${system_dlls}|^hvsim\.dll$" ;;
      *) allowed="${system_dlls}" ;;
    esac
    imports=$(${objdump} -p "${bin}/${dll}.dll" | sed -n 's/^\s*DLL Name: //p')
    echo "${dll}.dll imports: $(echo ${imports})"
    check "windows-${arch}: ${dll}.dll imports only system DLLs" "! echo '${imports}' | grep -Evq '${allowed}'"
  done
  # The export table: the 37 plain names, ordinals 1..37 in byte-wise alphabetical order.
  local exported
  exported=$(${objdump} -p "${bin}/Korvex.dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p' |
    awk '{ print $1 + 1, $2 }')
  check "windows-${arch}: Korvex.dll exports the 37 names with ordinals 1..37 in alphabetical order" \
    '[ "${exported}" = "${defined_exports}" ] && [ "$(cut -d" " -f2 <<<"${exported}")" = "$(cut -d" " -f2 <<<"${exported}" | LC_ALL=C sort)" ]'
  # Hosts linked through the import library import plain names that Korvex.dll exports; the C
  # host names all 37, ZqSetTrigerShot included.
  local host wanted
  for host in korvex_c_host korvex_demo; do
    imports=$(${objdump} -p "${bin}/${host}.exe" | sed -n '/DLL Name: Korvex.dll/,/^$/p' | awk 'NR > 2 && NF { print $NF }' | LC_ALL=C sort)
    wanted=$(cut -d' ' -f2 <<<"${defined_exports}")
    [ "${host}" = korvex_demo ] && wanted=$(comm -12 <(echo "${wanted}") <(echo "${imports}"))
    echo "${host}.exe imports from Korvex.dll: $(echo ${imports})"
    check "windows-${arch}: ${host}.exe links Korvex.dll's plain names through libKorvex.dll.a" \
      '[ -n "${imports}" ] && [ "${imports}" = "${wanted}" ]'
  done
}

# Runs every Windows test program of one architecture under the given Wine loader.
wine_checks() {
  local arch=$1 loader=$2 bin="${root}/${windows_build}-$1/bin" out="${root}/${windows_build}-$1"
  export WINEPREFIX="${KORVEX_WINEPREFIX:-${out}/wineprefix}" WINEARCH=$3 WINELOADER="${loader}" WINEDEBUG=-all
  # No debugger on a crash: the program ends at once (and the run fails) instead of waiting in one.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d" KORVEX_WINE="${loader}"
  echo "=== windows-${arch}: Wine prefix ==="
  rm -rf "${WINEPREFIX}"
  SECONDS=0
  timeout $((300 * scale)) "${loader}" wineboot -i >/dev/null 2>&1
  timeout $((60 * scale)) wineserver -w
  echo "--- Wine prefix took ${SECONDS} s"
  local program log ok bad
  for program in korvex_win_platform_tests korvex_win_api_tests hvsim_replay_windows_tests; do
    echo "=== windows-${arch}: ${program} (Wine) ==="
    log="${out}/${program}.log"
    SECONDS=0
    (cd "${bin}" && timeout $((600 * scale)) "${loader}" "${program}.exe") 2>&1 | tr -d '\r' | tee "${log}" |
      grep -E '^\[  (FAILED|PASSED) |^\[ *OK|Failure|error|Expected|Which is|actual|^  '
    ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?.*/\1/p' "${log}" | tail -1)
    bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "${log}" | tail -1)
    echo "--- ${program} took ${SECONDS} s"
    if [ -z "${ok}" ] && [ -z "${bad}" ]; then fail "windows-${arch}: ${program} did not finish"; continue; fi
    passed=$((passed + ${ok:-0})) failed=$((failed + ${bad:-0}))
  done

  echo "=== windows-${arch}: settings file, POSIX against Wine ==="
  SECONDS=0
  tests/windows/profile_differential.sh "${linux_bin}/korvex_profile_probe" "${bin}/korvex_profile_probe.exe" \
    "${WINEPREFIX}/drive_c/windows" | tee "${out}/profile_differential.log"
  count_lines "${out}/profile_differential.log"
  echo "--- settings file took ${SECONDS} s"

  echo "=== windows-${arch}: C host through the import library (Wine) ==="
  rm -f "${WINEPREFIX}/drive_c/windows/Korvex.ini"
  local host_output
  SECONDS=0
  host_output=$(cd "${bin}" && timeout $((120 * scale)) "${loader}" korvex_c_host.exe 2>&1 | tr -d '\r')
  echo "${host_output}"
  check "windows-${arch}: korvex_c_host.exe runs" 'grep -qx "c host: ok" <<<"${host_output}"'
  echo "--- C host took ${SECONDS} s"

  echo "=== windows-${arch}: demo against the Linux demo (Wine) ==="
  rm -f "${WINEPREFIX}/drive_c/windows/Korvex.ini"
  SECONDS=0
  tests/windows/demo_comparison.sh "${linux_bin}/korvex_demo" "${bin}/korvex_demo.exe" | tee "${out}/demo_comparison.log"
  count_lines "${out}/demo_comparison.log"
  echo "--- demo comparison took ${SECONDS} s"
  timeout $((60 * scale)) wineserver -k 2>/dev/null
}

# The Wine runs of ARCH under its own Wine loader.
wine_checks_of() {
  if [ "$1" = i686 ]; then wine_checks i686 /usr/lib/wine/wine win32; else wine_checks x86_64 /usr/lib/wine/wine64 win64; fi
}
summary() {
  echo "${passed} passed, ${failed} failed, ${skipped} skipped"
  [ "${failed}" -eq 0 ]
}

# The 32-bit Wine runs in the emulated machine: this script's --wine-runs there, its counts added
# here. Its prefix lives in the machine's memory, and its limits are sized for emulation, where a
# new prefix takes minutes and each Wine start some 40 s.
emulated_wine_checks() {
  local out="${root}/${windows_build}-i686" counts p f=0 s
  local console="${out}/emulated-console.log" log="${out}/emulated.log"
  echo "=== windows-i686: Wine runs in an emulated machine (its console: ${console}) ==="
  KORVEX_EMULATED_SHARE="${out}" KORVEX_EMULATED_CONSOLE="${console}" KORVEX_TIMEOUT_SCALE=4 \
    KORVEX_WINEPREFIX=/tmp/korvex-wineprefix-i686 tools/in-emulated-machine.sh tools/test-windows.sh --wine-runs i686 |
    tee "${log}"
  counts=$(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed, \([0-9]*\) skipped$/\1 \2 \3/p' "${log}" | tail -n 1)
  if [ -n "${counts}" ]; then
    read -r p f s <<<"${counts}"
    passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
  else
    fail "windows-i686: the Wine runs in the emulated machine finished"
  fi
  if [ -z "${counts}" ] || [ "${f}" -gt 0 ]; then
    echo "=== windows-i686: the emulated machine's console ==="
    cat "${console}"
  fi
}

# 32-bit Wine runs: natively, in an emulated machine, or skipped saying why neither works.
wine_checks_32bit() {
  local reason emulated=""
  if [ "${KORVEX_WINDOWS_EMULATED:-1}" = always ]; then
    reason="KORVEX_WINDOWS_EMULATED=always"
  elif reason=$(korvex_probe_32bit); then
    wine_checks_of i686
    return
  fi
  if [ "${KORVEX_WINDOWS_EMULATED:-1}" = 0 ]; then
    reason="${reason}; KORVEX_WINDOWS_EMULATED=0 keeps them out of the emulated machine"
  elif [ -z "${KORVEX_WINDOWS_NO_32BIT:-}" ] && emulated=$(tools/in-emulated-machine.sh --check); then
    echo "${reason}: the 32-bit Wine runs go to an emulated machine"
    emulated_wine_checks
    return
  fi
  [ -n "${emulated}" ] && reason="${reason}; nor can an emulated machine run here: ${emulated}"
  echo "SKIP windows-i686 Wine runs (${#wine_runs[@]}: ${wine_runs[*]}): ${reason}"
  skipped=$((skipped + ${#wine_runs[@]}))
}

if [ "${1:-}" = --wine-runs ]; then
  wine_checks_of "$2"
  summary
  exit
fi

echo "=== Linux programs for the comparisons (${linux_build}) ==="
if [ -z "${KORVEX_LINUX_BUILD:-}" ]; then cmake --preset release >/dev/null; else cmake -S . -B "${linux_build}" -G Ninja >/dev/null; fi &&
  cmake --build "${linux_build}" -j "${jobs}" --target korvex_profile_probe korvex_demo ||
  fail "Linux programs for the comparisons build"

mkdir -p build
echo "=== the 32-bit probe ==="
tests/windows/probe_32bit_test.sh | tee build/probe_32bit_test.log
count_lines build/probe_32bit_test.log

# 64-bit: everything, on every host.
started=$(date +%s)
if build x86_64; then
  static_checks x86_64 x86_64-w64-mingw32
  wine_checks_of x86_64
else
  fail "windows-x86_64 builds"
fi

echo "=== windows-x86_64: $(($(date +%s) - started)) s ==="

# 32-bit: built and checked everywhere, run natively or in an emulated machine.
started=$(date +%s)
if build i686; then
  static_checks i686 i686-w64-mingw32
  wine_checks_32bit
else
  fail "windows-i686 builds"
fi
echo "=== windows-i686: $(($(date +%s) - started)) s ==="

summary
