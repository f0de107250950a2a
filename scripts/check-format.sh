#!/usr/bin/env bash
# Fails when a C or C++ source of the project differs from what .clang-format makes of it.
# With --fix, formats them in place instead.
set -uo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files -co --exclude-standard '*.cpp' '*.h' '*.c' | grep -v '^build/')
if [ "${1:-}" = --fix ]; then
    clang-format -i "${sources[@]}"
    exit 0
fi
if clang-format --dry-run --Werror "${sources[@]}" 2>/dev/null; then
    echo "formatting: ${#sources[@]} files follow .clang-format"
    exit 0
fi
echo "formatting: these files differ from .clang-format (scripts/check-format.sh --fix formats them):"
for file in "${sources[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || echo "  $file"
done
exit 1
