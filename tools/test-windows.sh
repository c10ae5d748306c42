#!/usr/bin/env bash
# Builds the 32-bit Windows DLLs (preset windows-i686) and runs the Windows tests under Wine, in
# a throwaway Wine prefix under build/ and on a virtual display (Xvfb), so no person is needed.
# Prints "N passed, M failed" last; exits non-zero when anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs="${KORVEX_JOBS:-2}"

# Wine needs a display for the message boxes: run under Xvfb unless one is there.
if [ -z "${DISPLAY:-}" ] && [ -z "${KORVEX_UNDER_XVFB:-}" ]; then
  exec env KORVEX_UNDER_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

set -e
cmake --preset windows-i686 >/dev/null
cmake --build --preset windows-i686 -j "${jobs}"
# The Linux half of the settings-file comparison.
cmake -S . -B build/win-linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEX_WERROR=ON \
      -DKORVEX_BUILD_BENCHMARKS=OFF -DKORVEX_BUILD_DEMO=OFF >/dev/null
cmake --build build/win-linux -j "${jobs}" --target korvex_profile_probe
set +e

bin="${root}/build/windows-i686/bin"
passed=0 failed=0
pass() { echo "PASS $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }

# Each DLL needs nothing beyond Windows' own DLLs (and Korvex.dll the two camera DLLs).
system_dlls='^(KERNEL32|USER32|msvcrt|ADVAPI32)\.dll$'
for dll in Korvex HVDAILT Raw2Rgb hvsim; do
  case "${dll}" in
    Korvex) allowed="${system_dlls}|^(HVDAILT|Raw2Rgb)\.dll$" ;;
    HVDAILT) allowed="${system_dlls}|^hvsim\.dll$" ;;
    *) allowed="${system_dlls}" ;;
  esac
  imports=$(i686-w64-mingw32-objdump -p "${bin}/${dll}.dll" | sed -n 's/^\s*DLL Name: //p')
  echo "${dll}.dll imports: $(echo ${imports})"
  if echo "${imports}" | grep -Evq "${allowed}"; then fail "${dll}.dll imports only system DLLs"; else pass "${dll}.dll imports only system DLLs"; fi
done

# The export table: 37 names, ordinals 1..37 in byte-wise alphabetical order.
exports=$(i686-w64-mingw32-objdump -p "${bin}/Korvex.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -o 'Zq[A-Za-z]*')
if [ "$(echo "${exports}" | wc -l)" -eq 37 ] && [ "${exports}" = "$(echo "${exports}" | LC_ALL=C sort)" ]; then
  pass "Korvex.dll export table"
else
  fail "Korvex.dll export table"
fi

# One throwaway Wine prefix for the whole run.
export WINEPREFIX="${root}/build/windows-i686/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "${WINEPREFIX}"
timeout 300 wineboot -i >/dev/null 2>&1
timeout 60 wineserver -w
windows_folder="${WINEPREFIX}/drive_c/windows"

for program in korvex_win_platform_tests korvex_win_api_tests hvsim_replay_windows_tests; do
  echo "=== ${program} (Wine) ==="
  log="${root}/build/windows-i686/${program}.log"
  (cd "${bin}" && timeout 600 wine "${program}.exe") 2>&1 | tr -d '\r' | tee "${log}" | grep -E '^\[  (FAILED|PASSED) |^\[ *OK|Failure|error|Expected|Which is|actual|^  '
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?.*/\1/p' "${log}" | tail -1)
  bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "${log}" | tail -1)
  if [ -z "${ok}" ] && [ -z "${bad}" ]; then fail "${program} did not finish"; continue; fi
  passed=$((passed + ${ok:-0})) failed=$((failed + ${bad:-0}))
done

echo "=== settings file: POSIX against Wine ==="
diff_log="${root}/build/windows-i686/profile_differential.log"
tests/windows/profile_differential.sh "${root}/build/win-linux/bin/korvex_profile_probe" \
  "${bin}/korvex_profile_probe.exe" "${windows_folder}" | tee "${diff_log}"
passed=$((passed + $(grep -c '^PASS ' "${diff_log}"))) failed=$((failed + $(grep -c '^FAIL ' "${diff_log}")))

timeout 60 wineserver -k 2>/dev/null
echo "${passed} passed, ${failed} failed"
[ "${failed}" -eq 0 ]
