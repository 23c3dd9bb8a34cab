#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up, builds and starts Zudorave.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# ccache, where installed, keeps what was compiled across branch switches and a removed build.
cache_args=()
if command -v ccache >/dev/null; then cache_args=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUDORAVE_TESTS=OFF -DZUDORAVE_BENCH=OFF \
  "${cache_args[@]}" >/dev/null
cmake --build build --target zudorave
exec ./build/app/zudorave "$@"
