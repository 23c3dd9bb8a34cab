#!/usr/bin/env bash
# Fails when a C++ file does not follow .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files -co --exclude-standard '*.cpp' '*.h')
[[ -z "$files" ]] && exit 0
if ! clang-format --dry-run --Werror $files; then
  echo "Formatting differs from .clang-format; run: clang-format -i \$(git ls-files '*.cpp' '*.h')"
  exit 1
fi
