#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Process start to main dialog on screen, and resident memory then, over several runs.
# Usage: bench/startup.sh [build-dir] [runs]; runs under Xvfb when xvfb-run is there.
set -euo pipefail
build=${1:-build}
runs=${2:-10}
program="$build/app/zudorave-testable"  # the build that reads ZUDORAVE_EXIT_WHEN_SHOWN
[[ -x "$program" ]] || { echo "no $program; build first" >&2; exit 1; }
wrap=()
if command -v xvfb-run >/dev/null; then
  wrap=(xvfb-run -a -s "-screen 0 1024x768x24")
else
  export QT_QPA_PLATFORM=offscreen
fi
times=()
rss=()
for ((i = 0; i < runs; i++)); do
  out=$(ZUDORAVE_EXIT_WHEN_SHOWN=1 "${wrap[@]}" "$program" 2>/dev/null)
  times+=("$(awk '/^shown-ms/ {print $2}' <<<"$out")")
  rss+=("$(awk '/^rss-kb/ {print $2}' <<<"$out")")
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(sed -n "$(((runs + 1) / 2))p" <<<"$sorted")
max=$(tail -1 <<<"$sorted")
maxrss=$(printf '%s\n' "${rss[@]}" | sort -n | tail -1)
echo "start to dialog shown: median ${median} ms, max ${max} ms over ${runs} runs"
echo "resident memory when shown: max $((maxrss / 1024)) MB"
