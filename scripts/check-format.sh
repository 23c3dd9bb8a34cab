#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ file does not follow .clang-format, or a source, script or CMake file lacks
# its licence line.
set -euo pipefail
cd "$(dirname "$0")/.."
unlicensed=$(git ls-files -co --exclude-standard '*.cpp' '*.h' '*.sh' '*.py' '*CMakeLists.txt' \
  '.ci/run' | xargs -r grep -L -m1 'SPDX-License-Identifier: GPL-3.0-or-later' || true)
if [[ -n "$unlicensed" ]]; then
  echo "No SPDX-License-Identifier line in:" $unlicensed
  exit 1
fi
files=$(git ls-files -co --exclude-standard '*.cpp' '*.h')
[[ -z "$files" ]] && exit 0
if ! clang-format --dry-run --Werror $files; then
  echo "Formatting differs from .clang-format; run: clang-format -i \$(git ls-files '*.cpp' '*.h')"
  exit 1
fi
