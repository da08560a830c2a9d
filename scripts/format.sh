#!/usr/bin/env bash
# Checks that every C and C++ file of the project is formatted by the repo's
# .clang-format; with --fix, formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
mode=(--dry-run --Werror)
[ "${1:-}" = "--fix" ] && mode=(-i)
git ls-files -z '*.c' '*.h' '*.cpp' | xargs -0 clang-format "${mode[@]}"
