#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The station's settings and levels on the real program under Xvfb and the private sound
# server: with --no-settings AF1 plays at its full level and nothing is written; a settings
# file from a last run puts the generator at -20 dB, so AF1 reaches the sink at a tenth of that
# level, and the file is written back when the program ends.
# Usage: station_settings_test.sh path/to/zudorave-testable path/to/loop_check
#        (inside scripts/with-test-session.sh)
set -euo pipefail
source "$(dirname "$0")/session.sh"

settings="$XDG_CONFIG_HOME/Zudorave/station.ini"
record_sink out "$work/rec.raw"
click() {  # click the control with this id
  local x y
  read -r x y < <(awk -v id="$1" '$1 == id { print $2, $3 }' "$work/controls")
  xdotool mousemove --sync "$x" "$y" click 1
}
mark() { stat -c %s "$work/rec.raw"; }
peak_of_af1() {  # AF1 on for two seconds: the largest sample the sink received meanwhile
  click 1038
  sleep 0.5
  local start
  start=$(mark)
  sleep 2
  tail -c +"$((start + 1))" "$work/rec.raw" >"$work/af1.raw"
  head -c 88200 "$work/af1.raw" | od -An -v -td2 -w2 |
    awk '{ v = $1 < 0 ? -$1 : $1; if (v > p) p = v } END { print p + 0 }'
}
quit() {
  xdotool windowfocus --sync "$main" key --clearmodifiers Escape
  ends_with_status_0
}

echo "== --no-settings: full level, nothing kept"
start_program --station --no-settings
full=$(peak_of_af1)
quit
[[ $full -gt 10000 ]] || fail "AF1 peaked at $full at full level"
[[ ! -e "$settings" ]] || fail "--no-settings wrote $settings"

echo "== the last run's settings: the generator at -20 dB"
mkdir -p "$(dirname "$settings")"
printf '[station]\ngeneratorLevel=-20\nspeed=20\n' >"$settings"
start_program --station
low=$(peak_of_af1)
quit
echo "AF1 peaked at $full at 0 dB and at $low at -20 dB"
# A tenth, give or take a sample's rounding.
[[ $((low * 10)) -ge $((full - 20)) && $((low * 10)) -le $((full + 20)) ]] ||
  fail "AF1 peaked at $low at -20 dB and at $full at 0 dB"
grep -qx 'generatorLevel=-20' "$settings" && grep -qx 'speed=20' "$settings" &&
  grep -qx 'af1=300' "$settings" || fail "the settings were not written back: $(cat "$settings")"
echo "PASS"
