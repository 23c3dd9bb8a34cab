#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Receiving from a chosen input on the real program under Xvfb and the private sound server: a
# remap source over a third null sink's monitor stands for a radio's sound card; Morse played
# into that sink while the station receives shows as text in "Received text".
# Usage: receive_test.sh path/to/zudorave-testable path/to/morse_wave
#        (inside scripts/with-test-session.sh)
set -euo pipefail
source "$(dirname "$0")/session.sh"
morse_wave=$checker

format="rate=44100 channels=1 format=s16le"
sink=$(pactl load-module module-null-sink sink_name=radio \
  sink_properties=device.description=radio $format)
source=$(pactl load-module module-remap-source master=radio.monitor source_name=rig_line \
  source_properties=device.description=rig_line $format)
trap 'pactl unload-module "$source" 2>/dev/null || true
      pactl unload-module "$sink" 2>/dev/null || true; cleanup' EXIT

sent=$("$morse_wave" write "$work/cw.raw" 7)
"$program" --list-devices | grep -qx "  rig_line" || fail "rig_line is not listed as an input"
received() { awk -F'\t' '$1 == "Received text" { print $2 }' "$work/texts" 2>/dev/null; }
copied() { "$morse_wave" cer "$sent" "$(received)" >/dev/null; }

echo "== Receive from rig_line: what is played into radio shows as received text"
export ZUDORAVE_NAMED_TEXTS="$work/texts"
start_program --station --input-device rig_line
await 3 test -s "$work/texts" || fail "no named texts written"
grep -q "^Received text" "$work/texts" || fail "no received text box"
choose 32804
sleep 0.5
pacat --raw --format=s16le --rate=44100 --channels=1 -d radio "$work/cw.raw"
await 3 copied || true
"$morse_wave" cer "$sent" "$(received)" || fail "the copy is not what was sent"
grep -qP '^Lost samples\t0 lost$' "$work/texts" || fail "samples lost: $(grep Lost "$work/texts")"

echo "== Stop, and the program ends with status 0"
choose 32801
xdotool windowfocus --sync "$main" key --clearmodifiers Escape
ends_with_status_0
echo "PASS"
