#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under Xvfb on a sound server of this test's own, which it kills and starts
# again: a transmission under way ends at once, with one line on stderr, and the next Transmit
# is heard; the tone and a manual run's sidetone play again by themselves once the server is
# back, each loss and return told on stderr.
# Usage: server_loss_test.sh path/to/zudorave-testable path/to/loop_check
#        (inside scripts/with-test-session.sh)
set -euo pipefail
source "$(dirname "$0")/session.sh"

server="$(dirname "$(realpath "$0")")/../../scripts/sound-server.sh"
eval "$(bash "$server" start)"  # from here on the program and the test talk to this one
trap 'bash "$server" stop; cleanup' EXIT

click() {  # click the control with this id
  click_at $(awk -v id="$1" '$1 == id { print $2, $3 }' "$work/controls")
}
sink_inputs() { pactl list short sink-inputs 2>/dev/null | wc -l; }
playing() { [[ $(sink_inputs) -ge 1 ]]; }
said() { grep -c -- "$1" "$work/err" || true; }
said_once() { [[ $(said "$1") -eq 1 ]]; }
mark() { stat -c %s "$work/rec.raw"; }
since() { tail -c +"$(($1 + 1))" "$work/rec.raw" >"$2"; }

start_program --station 2>"$work/err"

echo "== A looped transmission ends when the server goes away"
click 1022                      # Loop
click 1002                      # the speed trackbar, to its top
xdotool key --clearmodifiers End
click 1013
xdotool type --delay 40 "paris "
await 3 playing || fail "the keying stream did not open"
sleep 0.5
bash "$server" crash
await 3 said_once "the transmission has ended" || fail "no line saying the transmission ended"
click_at $(position menu Config)
await 3 grep -q '^item 32800 ' "$work/controls" || fail "the Config menu did not open"
sleep 0.2
grep '^item 32800 ' "$work/controls" | tail -1 | grep -qv ' off$' || fail "Transmit is greyed: still sending"
xdotool key --clearmodifiers Escape

echo "== Once the server is back, the next Transmit is heard"
bash "$server" revive
click 1022                      # Loop off: the text once
record_sink out "$work/rec.raw"
sleep 1                         # the server's own start settles
click 1000
sleep 3.5
"$checker" "$work/rec.raw" morse "PARIS"

echo "== The tone plays again within 2 s of the server's return"
click 1038                      # AF1
await 3 playing || fail "the tone's stream did not open"
bash "$server" crash
await 3 said_once "went away; the tone plays again once it is back" || fail "no line for the lost tone"
sleep 1
bash "$server" revive
record_sink out "$work/rec.raw"
sleep 2
"$checker" "$work/rec.raw" tones 300
said_once "is back; the tone plays again" || fail "no line for the returning tone"
click 1038

echo "== A manual run's sidetone plays again once the server is back"
open_keying_dialog
sleep 0.5
bash "$server" crash
await 3 said_once "the sidetone plays again once it is back" || fail "no line for the lost sidetone"
sleep 0.5
bash "$server" revive
await 3 said_once "is back; the sidetone plays again" || fail "the sidetone's stream did not return"
record_sink out "$work/rec.raw"
sleep 0.5
start=$(mark)
xdotool windowfocus --sync "$keying" key --clearmodifiers less
sleep 1
since "$start" "$work/dot.raw"
"$checker" "$work/dot.raw" tones 300
cancel_keying_dialog

xdotool windowfocus --sync "$main" key --clearmodifiers Escape
ends_with_status_0
[[ $(grep -c '^zudorave: the sound server' "$work/err") -eq 5 ]] || {
  cat "$work/err"
  fail "not one line for each loss and return"
}
echo "PASS"
