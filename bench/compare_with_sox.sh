#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times rendering one second of a 300 Hz sine to a WAV file, sox against our renderer,
# each as a whole process.
set -euo pipefail
build=${1:-build}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
hyperfine --warmup 5 --runs 100 --export-json "$out/times.json" \
  "sox -n -r 44100 -b 16 -c 1 $out/sox.wav synth 1 sine 300" \
  "$build/bench/render_second $out/ours.wav"
python3 - "$out/times.json" <<'PY'
import json, sys
runs = json.load(open(sys.argv[1]))["results"]
sox, ours = (r["median"] for r in runs)
print(f"median sox {sox*1000:.2f} ms, ours {ours*1000:.2f} ms, sox/ours {sox/ours:.2f}")
PY
