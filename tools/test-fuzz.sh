#!/usr/bin/env bash
# Fuzzes the settings file's reader and writer with libFuzzer (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) for a bounded time, starting from the committed corpus in
# tests/fuzz/corpus. New inputs it finds stay in the build folder; a broken property or a
# sanitizer report fails the run and leaves the input as crash-* in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${KORVEX_FUZZ_SECONDS:-60}"
build="${KORVEX_FUZZ_BUILD:-build/fuzz}"

cmake -S tests/fuzz -B "${build}" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "${build}"
mkdir -p "${build}/found"
# A small quarantine and no fill of new blocks: several times the inputs per second, and freed
# memory is still caught when it is used soon after.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=8:max_malloc_fill_size=0}"
"${build}/settings_fuzzer" -max_total_time="${seconds}" -max_len=8192 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="${build}/" "${build}/found" tests/fuzz/corpus
