# Sourced by tools/test.sh and tools/demo.sh: compiles through ccache (installed by
# tools/install-deps.sh), which keeps compiled objects between runs on one machine, so that a
# later run, or the test command after the demo, recompiles only what changed. Paths are taken
# relative to the checkout, so a fresh clone in another folder still finds them. KORVEX_CCACHE=0
# builds without it, and so does a machine where the cache folder cannot be written (ccache would
# then fail every compile). Takes effect at the first configuration of a build folder.
korvex_ccache_usable() {
  local dir
  command -v ccache >/dev/null && dir=$(ccache -k cache_dir 2>/dev/null) && mkdir -p "${dir}" 2>/dev/null &&
    [ -w "${dir}" ]
}
if [ "${KORVEX_CCACHE:-1}" != 0 ] && korvex_ccache_usable; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="${PWD}" CCACHE_NOHASHDIR=1
  echo "compiling through ccache"
fi
