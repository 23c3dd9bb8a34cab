#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under Xvfb: it starts, answers the audio warning when there is one, shows
# "By Zuderiv", and ends cleanly on Escape.
# Usage: startup_test.sh path/to/zudorave   (runs itself under xvfb-run when there is no DISPLAY)
set -euo pipefail
program=$(realpath "$1")
if [[ -z "${DISPLAY:-}" || "${QT_QPA_PLATFORM:-}" == offscreen ]]; then
  unset QT_QPA_PLATFORM
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program"
fi
unset QT_QPA_PLATFORM

"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

press() {  # press KEY in the window with this exact name
  local window
  window=$(xdotool search --onlyvisible --name "^$1\$" | head -1)
  xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers "$2"
}

main=""
for _ in $(seq 100); do
  if xdotool search --onlyvisible --name '^ WARNING$' >/dev/null 2>&1; then
    echo "warning box shown: answering it"
    press ' WARNING' Return
  fi
  main=$(xdotool search --onlyvisible --name '^By Zuderiv$' 2>/dev/null | head -1 || true)
  [[ -n "$main" ]] && break
  sleep 0.1
done
[[ -n "$main" ]] || { echo "FAIL: the main dialog did not appear"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$main")"
echo "main dialog shown: ${WIDTH}x${HEIGHT}"
[[ $WIDTH -gt 300 && $HEIGHT -gt 150 ]] || { echo "FAIL: the dialog is too small"; exit 1; }

press 'By Zuderiv' Escape
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: Escape did not end the program"
  exit 1
fi
rc=0
wait "$pid" || rc=$?
trap - EXIT
[[ $rc -eq 0 ]] || { echo "FAIL: exit code $rc"; exit 1; }
echo "PASS"
