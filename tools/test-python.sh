#!/usr/bin/env bash
# Installs the Python package into a fresh virtual environment (Debian's Python and its numpy, no
# package index) and runs its tests and the example against the simulated cameras of the adapter
# built in the given folder (default build/release; built there when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
echo "=== python ==="
build="${1:-build/release}"
python=/usr/bin/python3  # Debian's, which has python3-numpy; a python3 earlier on PATH may not

if [ ! -f "${build}/CMakeCache.txt" ]; then
  cmake --preset release -B "${build}" >/dev/null
fi
cmake --build "${build}" -j "${KORVEX_JOBS:-2}" --target Korvex hvsim >/dev/null

build="$(realpath -m "${build}")"
venv="${build}/python-venv"
rm -rf "${venv}"
# Debian's pip installs into the new environment, which then needs no pip of its own (seconds
# saved); --no-index: everything comes from Debian's packages.
"${python}" -m venv --without-pip --system-site-packages "${venv}"
"${python}" -m pip --python "${venv}/bin/python" install --quiet --root-user-action=ignore --no-index \
  --no-build-isolation bindings/python
rm -rf bindings/python/build bindings/python/src/korvex.egg-info

export KORVEX_LIBRARY="${build}/bin/libKorvex.so" KORVEX_SIM_CAMERAS=HV1300UC,HV1300UM
export KORVEX_CONFIG_DIR="${build}/python-settings"
rm -rf "${KORVEX_CONFIG_DIR}" && mkdir -p "${KORVEX_CONFIG_DIR}"
# From the tests' folder, so that the installed package is imported rather than the sources.
(cd bindings/python/tests && "${venv}/bin/python" -m pytest -q -p no:cacheprovider .)

snap="${build}/python-snap.png"
"${venv}/bin/python" bindings/python/examples/snap.py --device 1 "${snap}"
"${python}" -c "import sys; sys.exit(open(sys.argv[1], 'rb').read(8) != b'\x89PNG\r\n\x1a\n')" "${snap}"

# The README's Python tutorial is the block after the marker line, verbatim.
awk '/<!-- bindings\/python\/examples\/snap.py -->/ {found = 1; next}
     found && /^```python$/ {inside = 1; next}
     inside && /^```$/ {exit}
     inside {print}' README.md | diff -u bindings/python/examples/snap.py - ||
  { echo "test-python: README's Python tutorial differs from bindings/python/examples/snap.py" >&2; exit 1; }
