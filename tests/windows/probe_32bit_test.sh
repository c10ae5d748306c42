#!/usr/bin/env bash
# The 32-bit probe over the cases it must tell apart: a program that runs, one the kernel cannot
# execute (an ELF file for a machine this host does not run, as a 32-bit program is on a kernel
# without 32-bit support), a missing one, and the variable that forces the skip.
# Prints "PASS name" or "FAIL name" per case; exits non-zero when any failed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "${here}/probe_32bit.sh"
work=$(mktemp -d)
trap 'rm -rf "${work}"' EXIT
failed=0

# A program that runs, with its ELF machine field (offset 18) set to none: execve refuses it with
# ENOEXEC, exactly as it refuses a 32-bit x86 program on a kernel without 32-bit support (and no
# emulator registered with binfmt_misc claims a machine of none).
cp "$(type -P true)" "${work}/foreign"
printf '\x00\x00' | dd of="${work}/foreign" bs=1 seek=18 conv=notrunc status=none
chmod +x "${work}/foreign"
runs=$(type -P true)

check() {  # check NAME EXPECTED_STATUS REASON_PATTERN PROBE_PROGRAM [FORCE]
  local reason status
  reason=$(KORVEX_32BIT_PROBE="$4" KORVEX_WINDOWS_NO_32BIT="${5:-}" korvex_probe_32bit)
  status=$?
  if [ "${status}" -eq "$2" ] && [ "$(echo -n "${reason}" | grep -c '')" -le 1 ] && echo "${reason}" | grep -Eq "$3"; then
    echo "PASS probe: $1"
  else
    echo "FAIL probe: $1 (status ${status}, reason '${reason}')"
    failed=1
  fi
}

check "a program that runs counts as 32-bit support" 0 '^$' "${runs}"
check "a program the kernel refuses gives the kernel's reason" 1 'cannot execute 32-bit programs: .*Exec format error$' "${work}/foreign"
check "a missing program is named" 1 'not installed' "${work}/missing"
check "the variable forces the skip even where programs run" 1 'KORVEX_WINDOWS_NO_32BIT is set' "${runs}" 1
exit "${failed}"
