#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Choosing the output, on the private sound server with a third null sink, rig, standing for a
# radio's own sound card: --list-devices names the sinks; --output-device rig plays the tone and
# the keyed sidetone on rig and nothing on the default sink; a device that is not there ends the
# program with status 2 before any window opens, listing the devices there are.
# Usage: output_device_test.sh path/to/zudorave-testable path/to/loop_check
#        (inside scripts/with-test-session.sh)
set -euo pipefail
source "$(dirname "$0")/session.sh"

module=$(pactl load-module module-null-sink sink_name=rig sink_properties=device.description=rig \
  rate=44100 channels=1 format=s16le)
trap 'pactl unload-module "$module" 2>/dev/null || true; cleanup' EXIT

echo "== --list-devices names the sinks"
"$program" --list-devices >"$work/list"
cat "$work/list"
for name in out in rig; do grep -qx "  $name" "$work/list" || fail "$name is not listed"; done

echo "== a device that is not there: status 2, before any window"
rc=0
env -u DISPLAY QT_QPA_PLATFORM= "$program" --output-device nowhere 2>"$work/error" || rc=$?
cat "$work/error"
[[ $rc -eq 2 ]] || fail "status $rc"
grep -qx "  rig" "$work/error" || fail "the devices there are are not listed"

echo "== --output-device rig: the tone on rig, silence on out"
for sink in rig out; do record_sink "$sink" "$work/$sink.raw"; done
# A new null sink renders its first block for up to two seconds, until a recorder asks for less.
await 5 test -s "$work/rig.raw" || fail "nothing records from rig"
start_program --output-device=rig
click_at $(awk '$1 == 1038 { print $2, $3 }' "$work/controls")
sleep 2.5
"$checker" "$work/rig.raw" contains 1042 1
"$checker" "$work/out.raw" silent-tail 2.0

echo "== the keyed sidetone goes to rig too"
click_at $(awk '$1 == 1038 { print $2, $3 }' "$work/controls")  # the tone off
open_keying_dialog
sleep 0.5
start=$(stat -c %s "$work/rig.raw")
xdotool windowfocus --sync "$keying" key --clearmodifiers less
sleep 1
tail -c +"$((start + 1))" "$work/rig.raw" >"$work/dot.raw"
"$checker" "$work/dot.raw" tones 300
"$checker" "$work/out.raw" silent-tail 3.0
cancel_keying_dialog

xdotool windowfocus --sync "$main" key --clearmodifiers Escape
ends_with_status_0
echo "PASS"
