# Whether this host can execute 32-bit programs, by executing one: the 32-bit Wine loader.
# Sourced by tools/test-windows.sh and by its test (probe_32bit_test.sh).
#
# korvex_probe_32bit succeeds when the program ran; otherwise it prints the reason on one line and
# fails. KORVEX_WINDOWS_NO_32BIT (any non-empty value) forces the failing path, so that the skip
# path can be exercised on any host; KORVEX_32BIT_PROBE names another program to execute.
korvex_probe_32bit() {
  local program="${KORVEX_32BIT_PROBE:-/usr/lib/wine/wine}" output
  if [ -n "${KORVEX_WINDOWS_NO_32BIT:-}" ]; then
    echo "KORVEX_WINDOWS_NO_32BIT is set"
    return 1
  fi
  if [ ! -e "${program}" ]; then
    echo "no 32-bit program to execute: ${program} is not installed (package wine32:i386)"
    return 1
  fi
  if output=$("${program}" --version 2>&1 </dev/null); then
    return 0
  fi
  echo "this host cannot execute 32-bit programs: ${program}: $(echo "${output}" | tail -n 1 | sed 's/.*: //')"
  return 1
}
