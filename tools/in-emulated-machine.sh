#!/usr/bin/env bash
# Runs a command inside an emulated x86-64 machine whose kernel runs 32-bit programs, for hosts
# whose own kernel cannot (the 32-bit Windows tests under Wine need it).
#
#   tools/in-emulated-machine.sh COMMAND [ARG...]
#   tools/in-emulated-machine.sh --check    prints why the machine cannot run here and fails, or
#                                           fetches its kernel and succeeds
#
# The machine (qemu-system-x86_64, no disk, no network) boots Debian's stock amd64 kernel, taken
# from its package with apt-get download and unpacked here, never installed. It sees the host's
# whole root read-only, with a writable layer in memory on top, so everything installed here runs
# there unchanged and nothing written there reaches the host, except in KORVEX_EMULATED_SHARE
# (default: the current folder), which is shared writable at the same path. The command runs in
# the current folder with this environment (less the display), its output comes out here, and its
# exit status is this script's.
#
# KORVEX_EMULATED_CONSOLE  the guest kernel's console log (default: the cache folder's console.log)
# KORVEX_EMULATED_CACHE    where the kernel is kept (default: build/emulated-machine)
# KORVEX_EMULATED_TIMEOUT  seconds after which the machine is stopped (default: 3600)
# KORVEX_EMULATED_CPUS, KORVEX_EMULATED_MEMORY  (default: 2 and 4G)
set -euo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
cache="${KORVEX_EMULATED_CACHE:-$(dirname "${tools}")/build/emulated-machine}"
# The modules for 9p over virtio and for the writable layer, each after those it needs.
modules=(virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci netfs fscache 9pnet 9pnet_virtio 9p overlay)

# Prints why the machine cannot run here; prints nothing when it can.
missing() {
  command -v qemu-system-x86_64 >/dev/null || { echo "qemu-system-x86_64 is not installed (package qemu-system-x86)"; return; }
  case "$(ldd /bin/busybox 2>&1)" in
    *'not a dynamic'*) ;;
    *) echo "no static /bin/busybox (package busybox-static)" ;;
  esac
}

# The newest amd64 kernel package's name, e.g. linux-image-6.1.0-57-amd64.
kernel_package() {
  apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[^ ]*-amd64\)$/\1/p' | head -n 1
}

# Unpacks the kernel package into the cache once; prints the unpacked tree's folder.
fetch_kernel() {
  local package unpacked work
  package=$(kernel_package)
  [ -n "${package}" ] || { echo "apt-cache knows no linux-image-amd64 package (run apt-get update)" >&2; return 1; }
  unpacked="${cache}/${package}"
  if [ ! -d "${unpacked}" ]; then
    mkdir -p "${cache}"
    work=$(mktemp -d "${cache}/fetch.XXXXXX")
    if ! (cd "${work}" && apt-get download -q "${package}" >download.log 2>&1 && dpkg-deb -x ./*.deb tree); then
      echo "cannot fetch the kernel package ${package}: $(tail -n 1 "${work}/download.log" 2>/dev/null)" >&2
      rm -rf "${work}"
      return 1
    fi
    mv "${work}/tree" "${unpacked}"  # in place only when whole
    rm -rf "${work}"
  fi
  echo "${unpacked}"
}

# make_initramfs KERNEL_TREE RUN SHARE OUTPUT: busybox, the modules, the init and its settings.
make_initramfs() {
  local tree=$1 run=$2 share=$3 output=$4 dir module
  dir=$(mktemp -d "${run}/initramfs.XXXXXX")
  mkdir -p "${dir}"/{bin,dev,proc,sys,modules}
  cp /bin/busybox "${dir}/bin/busybox"
  cp "${tools}/emulated-machine-init" "${dir}/init"
  for module in "${modules[@]}"; do
    find "${tree}/lib/modules" -name "${module}.ko" -exec cp {} "${dir}/modules/" \;
    [ -f "${dir}/modules/${module}.ko" ] || { echo "the kernel package has no module ${module}" >&2; return 1; }
  done
  printf '%s\n' "${modules[@]}" >"${dir}/modules.order"
  printf 'RUN=%q\nSHARE=%q\n' "${run}" "${share}" >"${dir}/korvex.conf"
  # The kernel writes its first messages to /dev/console before anything is mounted.
  (cd "${dir}" && fakeroot_if_needed sh -c 'mknod -m 600 dev/console c 5 1 && find . | /bin/busybox cpio -o -H newc 2>/dev/null') |
    gzip -1 >"${output}"
  rm -rf "${dir}"
}
fakeroot_if_needed() {
  if [ "${EUID}" -eq 0 ]; then "$@"; else fakeroot -- "$@"; fi
}

# The job: this environment less the display and the machine-bound variables, this folder, the command.
write_job() {
  local job=$1
  shift
  {
    echo '#!/bin/bash'
    env -u DISPLAY -u XAUTHORITY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR \
      -u KORVEX_UNDER_XVFB -u OLDPWD -u SHLVL -u _ bash -c 'export -p'
    printf 'cd %q || exit 125\n' "${PWD}"
    printf 'exec'
    printf ' %q' "$@"
    echo
  } >"${job}"
}

reason=$(missing)
if [ -n "${reason}" ]; then
  echo "${reason}"
  exit 1
fi
tree=$(fetch_kernel) || exit 1
if [ "${1:-}" = --check ]; then exit 0; fi
[ "$#" -gt 0 ] || { echo "usage: $0 COMMAND [ARG...] | --check" >&2; exit 2; }

share=$(cd "${KORVEX_EMULATED_SHARE:-.}" && pwd)
run=$(mktemp -d "${cache}/run.XXXXXX")
trap 'rm -rf "${run}"' EXIT
console="${KORVEX_EMULATED_CONSOLE:-${cache}/console.log}"
write_job "${run}/job.sh" "$@"
make_initramfs "${tree}" "${run}" "${share}" "${run}/initramfs.gz"

# TCG (no /dev/kvm needed). Without SMAP, as qemu 7.2 kills every 32-bit Wine process at Wine's
# system-call return when the emulated CPU has it. panic=-1 and -no-reboot end qemu on a panic;
# the console keeps warnings (the memory killer's among them) and worse.
# shellcheck disable=SC2054  # commas separate qemu's own options
shares=(-fsdev "local,id=root,path=/,readonly=on,security_model=none,multidevs=remap"
  -device virtio-9p-pci,fsdev=root,mount_tag=root
  -fsdev "local,id=run,path=${run},security_model=none"
  -device virtio-9p-pci,fsdev=run,mount_tag=run)
if [ "${share}" != "${run}" ]; then
  shares+=(-fsdev "local,id=share,path=${share},security_model=none,multidevs=remap"
    -device virtio-9p-pci,fsdev=share,mount_tag=share)
fi
: >"${run}/output"
timeout "${KORVEX_EMULATED_TIMEOUT:-3600}" qemu-system-x86_64 -nodefaults -no-user-config -display none -no-reboot \
  -accel tcg,thread=multi -cpu max,-smap -smp "${KORVEX_EMULATED_CPUS:-2}" -m "${KORVEX_EMULATED_MEMORY:-4G}" \
  -kernel "$(echo "${tree}"/boot/vmlinuz-*)" -initrd "${run}/initramfs.gz" \
  -append "console=ttyS0 panic=-1 loglevel=5" -serial "file:${console}" "${shares[@]}" </dev/null &
machine=$!
tail -n +1 -f --pid="${machine}" "${run}/output"
wait "${machine}" || echo "emulated machine: qemu ended with status $? (124: stopped after ${KORVEX_EMULATED_TIMEOUT:-3600} s)"
if [ ! -s "${run}/status" ]; then
  echo "emulated machine: stopped before the command ended; its console (${console}):"
  cat "${console}"
  exit 125
fi
exit "$(cat "${run}/status")"
