#!/usr/bin/env bash
# Fails when a C or C++ file of the repository differs from what clang-format (.clang-format at
# the root) makes of it, and names the files. Fix with: clang-format -i <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.c' '*.cc' '*.cpp' '*.h' '*.hpp')
unformatted=()
for file in "${files[@]}"; do
  clang-format --dry-run --Werror "${file}" >/dev/null 2>&1 || unformatted+=("${file}")
done
if [ "${#unformatted[@]}" -gt 0 ]; then
  echo "not formatted with clang-format: ${unformatted[*]}"
  exit 1
fi
echo "clang-format: ${#files[@]} files formatted"
