#!/usr/bin/env bash
# Sets up, builds and starts Zudorave.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUDORAVE_TESTS=OFF -DZUDORAVE_BENCH=OFF >/dev/null
cmake --build build --target zudorave
exec ./build/app/zudorave "$@"
