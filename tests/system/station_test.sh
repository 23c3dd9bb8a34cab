#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The station on the real program under Xvfb and the private sound server, driven from the
# menu: Receive records from the default source until Stop, which ends it with the two-tone
# signal at the sink; Manual opens the keying dialog (after the no-joystick message), where '<'
# keys a dot heard at the sink in AF1's tone, and its Cancel ends the run; quitting while
# receiving asks, and Yes ends the program with status 0 and no stream left on the server.
# Usage: station_test.sh path/to/zudorave-testable path/to/loop_check   (inside scripts/with-test-session.sh)
set -euo pipefail
source "$(dirname "$0")/session.sh"

# A tone on the default source, and a recorder on the sink.
sox -n -r 44100 -c 1 -b 16 -e signed -t raw "$work/tone.raw" synth 60 sine 700 vol 0.3
pacat --raw --format=s16le --rate=44100 --channels=1 -d in "$work/tone.raw" &
pids+=($!)
record_sink out "$work/rec.raw"
start_program
others=$(pactl list short source-outputs | wc -l)  # the recorders around the program

recordings() { pactl list short source-outputs | wc -l; }
recording() { [[ $(recordings) -gt $others ]]; }
not_recording() { [[ $(recordings) -eq $others ]]; }
mark() { stat -c %s "$work/rec.raw"; }

echo "== Receive records from the default source"
choose 32804
await 3 recording || fail "nothing records"
sleep 1.5

echo "== Stop ends it with the two-tone signal"
start=$(mark)
choose 32801
await 3 not_recording || fail "the capture is still open"
sleep 1.5
tail -c +"$((start + 1))" "$work/rec.raw" >"$work/stop.raw"
"$checker" "$work/stop.raw" tones 1000 500

echo "== Manual: the no-joystick message, then the keying dialog; '<' keys a dot; Cancel ends the run"
open_keying_dialog
sleep 0.5  # the keying output's stream settles
start=$(mark)
xdotool windowfocus --sync "$keying" key --clearmodifiers less
sleep 1
tail -c +"$((start + 1))" "$work/rec.raw" >"$work/dot.raw"
"$checker" "$work/dot.raw" tones 300
cancel_keying_dialog

echo "== Quitting while receiving asks; Yes ends the program"
choose 32804
await 3 recording || fail "nothing records the second time"
xdotool windowfocus --sync "$main" key --clearmodifiers Escape
await 5 window_named '^ACHTUNG$' || fail "no question before quitting"
question=$(xdotool search --onlyvisible --name '^ACHTUNG$' | head -1)
xdotool windowfocus --sync "$question" key --clearmodifiers Return
ends_with_status_0
await 3 not_recording || fail "a capture stream is left on the server"
echo "PASS"
