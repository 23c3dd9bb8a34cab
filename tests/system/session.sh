# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the system tests, with the program and the checker as $1 and $2: skips (fails in
# CI) without the private sound server, runs the test again under Xvfb when there is no display,
# and leaves $program, $checker, a $work folder removed at exit, pids killed at exit, and the
# helpers below, which click what the program's control map ($work/controls) names.
program=$(realpath "$1")
checker=$(realpath "$2")
if [[ -z "${PULSE_SERVER:-}" ]]; then
  if [[ "${CI:-}" == true ]]; then echo "FAIL: no private sound server"; exit 1; fi
  echo "SKIP: run under scripts/with-test-session.sh"; exit 0
fi
if [[ -z "${DISPLAY:-}" || "${QT_QPA_PLATFORM:-}" == offscreen ]]; then
  unset QT_QPA_PLATFORM
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program" "$checker"
fi
unset QT_QPA_PLATFORM

work=$(mktemp -d)
# The station keeps its settings here, not in the account running the tests.
export XDG_CONFIG_HOME="$work/config"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }
await() {  # await SECONDS COMMAND...: until the command succeeds
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}
start_program() {  # start_program [ARGS...]: until its main dialog shows; sets program_pid, main
  rm -f "$work/controls"
  ZUDORAVE_CONTROL_MAP="$work/controls" "$program" "$@" &
  program_pid=$!
  pids+=("$program_pid")
  await 10 test -s "$work/controls" || fail "the main dialog did not appear"
  main=$(xdotool search --onlyvisible --name '^By Zuderiv$' | head -1)
}
record_sink() {  # record_sink SINK FILE: the sink's monitor into FILE until the test ends
  parec --latency-msec=10 -d "$1.monitor" --format=s16le --rate=44100 --channels=1 >"$2" &
  pids+=($!)
}
click_at() { xdotool mousemove --sync "$1" "$2" click 1; }
position() { awk -v what="$1" -v name="$2" '$1 == what && $2 == name { x = $3; y = $4 } END { print x, y }' "$work/controls"; }
items() { grep -c '^item ' "$work/controls" || true; }
items_above() { [[ $(items) -gt $1 ]]; }
window_named() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
choose() {  # choose ITEM-ID from the Config menu
  local before
  before=$(items)
  click_at $(position menu Config)
  await 3 items_above "$before" || fail "the Config menu did not open"
  click_at $(position item "$1")
}
ends_with_status_0() {  # once the program was asked to end: it ends within 5 s, with status 0
  for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  local rc=0
  wait "$program_pid" || rc=$?
  [[ $rc -eq 0 ]] || fail "exit code $rc"
}
open_keying_dialog() {  # Manual from the Config menu, past the no-joystick message; sets keying
  choose 32802
  await 5 window_named "^Please use the '<' and '>' keys$" || fail "no joystick message"
  local box
  box=$(xdotool search --onlyvisible --name "^Please use the '<' and '>' keys$" | head -1)
  xdotool windowfocus --sync "$box" key --clearmodifiers Return
  await 5 window_named '^Transmit$' || fail "the keying dialog did not open"
  keying=$(xdotool search --onlyvisible --name '^Transmit$' | head -1)
}
cancel_keying_dialog() {  # its Cancel sits at 150,148 of the dialog's 186 x 164 units
  eval "$(xdotool getwindowgeometry --shell "$keying")"
  click_at $((X + WIDTH * 150 / 186)) $((Y + HEIGHT * 148 / 164))
  await 5 bash -c "! xdotool search --onlyvisible --name '^Transmit$' >/dev/null 2>&1" ||
    fail "Cancel did not close the keying dialog"
}
