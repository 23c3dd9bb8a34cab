#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up, builds and runs every test: a normal build, then one with AddressSanitizer and
# UndefinedBehaviorSanitizer, then one with ThreadSanitizer. Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh --tests
bash scripts/check-format.sh

# The three builds compile the same sources with different flags, and CI starts from a fresh
# clone each time: ccache keeps what was compiled, in its default place (~/.cache/ccache).
# Paths under the clone are hashed relative to it and written into the debug information
# relative to it, so a clone in another folder hits what an earlier one compiled.
cache_args=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$PWD
  cache_args=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache "-DCMAKE_CXX_FLAGS=-ffile-prefix-map=$PWD=.")
  # This run's hits alone, shown at the end whether the tests pass or not.
  CCACHE_STATSLOG=$(mktemp /tmp/zudorave-ccache.XXXXXX)
  export CCACHE_STATSLOG
fi
on_exit() {
  [[ -n "${CCACHE_STATSLOG:-}" ]] || return 0
  echo "== compiler cache, this run =="
  ccache --show-log-stats
  rm -f "$CCACHE_STATSLOG"
}
trap on_exit EXIT

build() {  # build NAME SANITIZER
  local name=$1 sanitize=$2
  echo "== $name build =="
  cmake -S . -B "build-test-$name" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZUDORAVE_WERROR=ON -DZUDORAVE_SANITIZE="$sanitize" \
    -DZUDORAVE_BENCH="$([[ $name == normal ]] && echo ON || echo OFF)" "${cache_args[@]}" >/dev/null
  cmake --build "build-test-$name"
}

# Tests that do not listen to the sound server share nothing else: they run side by side.
quiet_tests() {  # quiet_tests NAME
  echo "== $1 tests without the sound server =="
  bash scripts/with-test-session.sh ctest --test-dir "build-test-$1" --output-on-failure \
    --timeout 300 -LE sound-server -j "$(nproc)" ${CTEST_ARGS:-}
}

# A test of the real sound server compares what the sink heard sample for sample; a busy
# machine can drop a stream's buffer now and then, so such a test gets a second try. They
# share the server's sinks, so they run one at a time.
sound_tests() {  # sound_tests NAME
  echo "== $1 tests on the sound server =="
  bash scripts/with-test-session.sh ctest --test-dir "build-test-$1" --output-on-failure \
    --timeout 300 -L sound-server --repeat until-pass:2 ${CTEST_ARGS:-}
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

build normal ""
quiet_tests normal

# The sound-server tests mostly wait for sound to play, while compiling and the other tests
# keep both cores busy: the sanitizer builds and their quiet tests run meanwhile, at the lowest
# priority so that the sound still gets the CPU when it needs it. Their output follows once
# they are done.
sanitized_log=$(mktemp /tmp/zudorave-sanitized.XXXXXX)
setsid nice -n 19 bash -c "$(declare -p cache_args); $(declare -f build quiet_tests);
  build address address && quiet_tests address && build thread thread && quiet_tests thread" \
  >"$sanitized_log" 2>&1 &
sanitized=$!
trap 'kill -- -$sanitized 2>/dev/null || true; on_exit' EXIT
sound_tests normal
sanitized_status=0
wait "$sanitized" || sanitized_status=$?
cat "$sanitized_log"
rm -f "$sanitized_log"
[[ $sanitized_status -eq 0 ]] || exit "$sanitized_status"

sound_tests address
sound_tests thread
