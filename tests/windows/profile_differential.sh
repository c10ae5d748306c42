#!/usr/bin/env bash
# Differential test of the settings file: the same Korvex.ini texts read through the POSIX
# ProfileStore (Linux probe) and through Wine's private-profile service (Windows probe) must give
# the same texts and ratios, and a file written by either must read back the same through both.
#
# usage: profile_differential.sh LINUX_PROBE WINDOWS_PROBE_EXE WINDOWS_FOLDER
#   WINDOWS_FOLDER is the Wine prefix's C:\windows, where the bare name Korvex.ini lives.
#   KORVEX_WINE names the Wine loader for the probe's architecture (default: wine).
#   KORVEX_TIMEOUT_SCALE multiplies the time limit of each Wine run (slow, emulated machines).
# Prints one "PASS name" or "FAIL name" line per check; exits non-zero when any failed.
set -uo pipefail
linux_probe=$1 windows_probe=$2 windows_folder=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "${work}"' EXIT
failed=0

linux() { KORVEX_CONFIG_DIR="${work}/linux" "${linux_probe}" < "$1" > "$2"; }
windows() {
  (cd "$(dirname "${windows_probe}")" && timeout $((120 * ${KORVEX_TIMEOUT_SCALE:-1})) "${KORVEX_WINE:-wine}" "$(basename "${windows_probe}")") < "$1" | tr -d '\r' > "$2"
}
put() {  # put FILE: the same Korvex.ini for both sides
  mkdir -p "${work}/linux"
  rm -f "${work}/linux/Korvex.ini" "${windows_folder}/Korvex.ini"
  if [ -n "$1" ]; then cp "$1" "${work}/linux/Korvex.ini"; cp "$1" "${windows_folder}/Korvex.ini"; fi
}
check() {  # check NAME FILE_A FILE_B
  if [ -s "$2" ] && diff -u "$2" "$3" > "${work}/diff"; then
    echo "PASS $1"
  else
    echo "FAIL $1"; cat "${work}/diff"; failed=1
  fi
}

# Reading the same stored texts.
put "${here}/profile_cases.ini"
linux "${here}/profile_reads.txt" "${work}/read.linux"
windows "${here}/profile_reads.txt" "${work}/read.windows"
check "profile: stored texts read alike" "${work}/read.linux" "${work}/read.windows"

# Written on Linux, read on both.
put ""
linux "${here}/profile_writes.txt" "${work}/write.linux"
cp "${work}/linux/Korvex.ini" "${work}/written-by-linux.ini"
put "${work}/written-by-linux.ini"
linux "${here}/profile_reads.txt" "${work}/linux-file.linux"
windows "${here}/profile_reads.txt" "${work}/linux-file.windows"
check "profile: a file written by POSIX reads alike" "${work}/linux-file.linux" "${work}/linux-file.windows"

# Written under Wine, read on both.
put ""
windows "${here}/profile_writes.txt" "${work}/write.windows"
check "profile: writes report alike" "${work}/write.linux" "${work}/write.windows"
cp "${windows_folder}/Korvex.ini" "${work}/written-by-windows.ini" 2>/dev/null || : > "${work}/written-by-windows.ini"
put "${work}/written-by-windows.ini"
linux "${here}/profile_reads.txt" "${work}/windows-file.linux"
windows "${here}/profile_reads.txt" "${work}/windows-file.windows"
check "profile: a file written by Windows reads alike" "${work}/windows-file.linux" "${work}/windows-file.windows"
check "profile: both writers leave the same values" "${work}/linux-file.linux" "${work}/windows-file.linux"

put ""
exit "${failed}"
