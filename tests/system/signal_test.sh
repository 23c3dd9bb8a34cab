#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A signal ends the real program cleanly, asking nothing: status 0 and no stream left on the
# sound server. SIGTERM while a tone plays; SIGHUP while the station receives beside the tone
# and its quit question is open.
# Usage: signal_test.sh path/to/zudorave-testable path/to/loop_check   (inside with-test-session.sh)
set -euo pipefail
source "$(dirname "$0")/session.sh"

others=$(pactl list short source-outputs | wc -l)  # the server's own recorders
playing() { [[ $(pactl list short sink-inputs | wc -l) -gt 0 ]]; }
recording() { [[ $(pactl list short source-outputs | wc -l) -gt $others ]]; }

start_with_tone() {  # the program with AF1 sounding; sets program_pid and main
  start_program
  click_at $(awk '$1 == 1038 { print $2, $3 }' "$work/controls")
  await 5 playing || fail "no tone plays"
}

ends_cleanly() {  # ends_cleanly SIGNAL
  kill -s "$1" "$program_pid"
  for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "SIG$1 did not end the program"
  local rc=0
  wait "$program_pid" || rc=$?
  [[ $rc -eq 0 ]] || fail "SIG$1: exit status $rc"
  await 3 bash -c '! pactl list short sink-inputs | grep -q .' || fail "SIG$1: a playback is left"
  recording && fail "SIG$1: a capture is left"
  echo "SIG$1: ended with status 0, no stream left"
}

echo "== SIGTERM while a tone plays"
start_with_tone
ends_cleanly TERM

echo "== SIGHUP while receiving, with the quit question open"
start_with_tone
choose 32804
await 3 recording || fail "nothing records"
xdotool windowfocus --sync "$main" key --clearmodifiers Escape
await 5 window_named '^ACHTUNG$' || fail "no question before quitting"
ends_cleanly HUP
echo "PASS"
