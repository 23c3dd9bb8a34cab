#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The station panel on the real program under Xvfb and the private sound server: with the speed
# at its top, text typed into the text box as an operator types it (the first character starts
# sending, the rest arrive while it sends) is heard at the sink as that text in Morse.
# Usage: panel_test.sh path/to/zudorave-testable path/to/loop_check
#        (inside scripts/with-test-session.sh)
set -euo pipefail
source "$(dirname "$0")/session.sh"

record_sink out "$work/rec.raw"
start_program --station
click_at $(awk '$1 == 1002 { print $2, $3 }' "$work/controls")
xdotool key --clearmodifiers End
click_at $(awk '$1 == 1013 { print $2, $3 }' "$work/controls")
xdotool type --delay 40 "cq test"
sleep 4.5
"$checker" "$work/rec.raw" morse "CQTEST"

xdotool windowfocus --sync "$main" key --clearmodifiers Escape
ends_with_status_0
echo "PASS"
