#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under Xvfb on the private sound server: clicking AF1 plays the 300 Hz A+B+C
# second bit for bit; USB with AF1 and AF3 plays that rendering; unticking the sources silences
# the sink and closes the device; Escape ends the program.
# Usage: sound_test.sh path/to/zudorave-testable path/to/loop_check   (inside scripts/with-test-session.sh)
set -euo pipefail
source "$(dirname "$0")/session.sh"

record_sink out "$work/rec.raw"
start_program

click() {  # click the control with this id
  local x y
  read -r x y < <(awk -v id="$1" '$1 == id { print $2, $3 }' "$work/controls")
  xdotool mousemove --sync "$x" "$y" click 1
}
sink_inputs() { pactl list short sink-inputs | wc -l; }
mark() { stat -c %s "$work/rec.raw"; }  # bytes recorded so far

segment() {  # copy the recording from byte offset $1 to now into $2
  tail -c +"$(($1 + 1))" "$work/rec.raw" >"$2"
}

echo "== AF1 on: A+B+C, mask 1"
start=$(mark)
click 1038
sleep 2.5
segment "$start" "$work/sum.raw"
"$checker" "$work/sum.raw" contains 1042 1
[[ $(sink_inputs) -ge 1 ]] || { echo "FAIL: no stream plays"; exit 1; }

echo "== USB, then AF3 on: USB, mask 5"
click 1040
click 1053
start=$(mark)
sleep 2.5
segment "$start" "$work/usb.raw"
"$checker" "$work/usb.raw" contains 1040 5

echo "== AF1 and AF3 off: silence, device closed"
click 1038
click 1053
for _ in $(seq 50); do [[ $(sink_inputs) -eq 0 ]] && break; sleep 0.1; done
[[ $(sink_inputs) -eq 0 ]] || { echo "FAIL: the output device is still open"; exit 1; }
sleep 1.5
"$checker" "$work/rec.raw" silent-tail 1.0

echo "== Escape ends the program"
xdotool windowfocus --sync "$main" key --clearmodifiers Escape
ends_with_status_0
echo "PASS"
