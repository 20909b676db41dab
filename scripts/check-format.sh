#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format makes of it
# (style: .clang-format). Fix with: scripts/check-format.sh --fix
set -euo pipefail
cd "$(dirname "$0")/.."

mode=(--dry-run --Werror)
[ "${1:-}" = "--fix" ] && mode=(-i)

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.h' '*.hpp' '*.cpp' '*.c' '*.inl')
else
  mapfile -t files < <(find . -path './build*' -prune -o -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \
                         -o -name '*.c' -o -name '*.inl' \) -print)
fi
printf '%s\0' "${files[@]}" | xargs -0 clang-format "${mode[@]}"
echo "format: ${#files[@]} files checked"
