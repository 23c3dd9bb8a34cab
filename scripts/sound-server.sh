#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A private PulseAudio server for the tests, with two null sinks in the program's format, which
# SDL lists under these names too:
#   out  the default sink; tests record what the program plays from out.monitor
#   in   tests play known samples into it; its monitor is the default source
#
#   sound-server.sh run CMD...  start, run CMD with the server's variables, stop, exit as CMD
#   sound-server.sh start       start and print the variables as export lines
#   sound-server.sh stop        stop the server named by ZUDORAVE_SOUND_DIR
#   sound-server.sh crash       kill that server outright (SIGKILL), as a crashing one ends
#   sound-server.sh revive      start it again where it was, with the same sinks
# With ZUDORAVE_SOUND_KEEPERS=off the null sinks are left without low-latency recorders, as a
# sink is that nothing consumes: then a stream can wait seconds for the server (see below).
set -euo pipefail

format="rate=44100 channels=1 format=s16le"

start_server() {  # start_server [DIR]: in a new folder, or again in DIR
  local dir=${1:-}
  [[ -n "$dir" ]] || dir=$(mktemp -d /tmp/zudorave-sound.XXXXXX)
  # Logs go to a file: the daemon's output would otherwise mix with the tests'.
  XDG_RUNTIME_DIR="$dir" HOME="$dir" pulseaudio --daemonize=yes --exit-idle-time=-1 \
    --disallow-exit -n --use-pid-file=yes --log-target="file:$dir/log" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
    --load="module-null-sink sink_name=out sink_properties=device.description=out $format" \
    --load="module-null-sink sink_name=in sink_properties=device.description=in $format" \
    --load="module-always-sink" 2>>"$dir/log" || {
    cat "$dir/log" >&2
    return 1
  }
  export ZUDORAVE_SOUND_DIR="$dir" PULSE_SERVER="unix:$dir/native"
  local tries=0
  until pactl info >/dev/null 2>&1; do
    ((++tries > 100)) && { echo "sound server did not come up" >&2; cat "$dir/log" >&2; return 1; }
    sleep 0.05
  done
  pactl set-default-sink out
  pactl set-default-source in.monitor
  if [[ ${ZUDORAVE_SOUND_KEEPERS:-on} != off ]]; then hold_low_latency "$dir"; fi
  export SDL_AUDIODRIVER=pulseaudio ZUDORAVE_SOUND_SERVER=1
}

# A null sink renders in blocks as long as the lowest latency any stream asks for, and up to
# two seconds when none asks; a new stream waits for the current block to end. A quiet 10 ms
# recorder on each monitor keeps the blocks short, so streams start at once.
hold_low_latency() {
  local dir=$1 sink
  for sink in out in; do
    parec --latency-msec=10 -d "$sink.monitor" >/dev/null 2>>"$dir/log" &
    echo $! >>"$dir/keepers"
  done
  local tries=0
  until [[ $(pactl list sinks | awk '/^\tLatency:/ && $2 > 50000 {n++} END {print n+0}') == 0 ]]; do
    ((++tries > 100)) && { echo "the null sinks kept a long latency" >&2; return 1; }
    sleep 0.05
  done
}

end_server() {  # end_server SIGNAL: the server and its keepers
  local dir=${ZUDORAVE_SOUND_DIR:?no sound server to stop}
  local pid
  if [[ -f "$dir/keepers" ]]; then
    while read -r pid; do kill "$pid" 2>/dev/null || true; done <"$dir/keepers"
    rm -f "$dir/keepers"
  fi
  pid=$(cat "$dir/pulse/pid" 2>/dev/null || true)
  if [[ -n "$pid" ]]; then
    kill "-$1" "$pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  fi
}

stop_server() {
  end_server TERM
  rm -rf "$ZUDORAVE_SOUND_DIR"
}

case "${1:-}" in
  start)
    start_server
    for name in ZUDORAVE_SOUND_DIR PULSE_SERVER SDL_AUDIODRIVER ZUDORAVE_SOUND_SERVER; do
      echo "export $name=${!name}"
    done
    ;;
  stop)
    stop_server
    ;;
  crash)
    end_server KILL
    ;;
  revive)
    start_server "${ZUDORAVE_SOUND_DIR:?no sound server to revive}" >/dev/null
    ;;
  run)
    shift
    start_server
    trap stop_server EXIT
    status=0
    "$@" || status=$?
    exit "$status"
    ;;
  *)
    echo "usage: $0 start | stop | crash | revive | run CMD..." >&2
    exit 2
    ;;
esac
