# Sourced by the system tests, with the program and the checker as $1 and $2: skips (fails in
# CI) without the private sound server, runs the test again under Xvfb when there is no display,
# and leaves $program, $checker, a $work folder removed at exit, and pids killed at exit.
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
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
