#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command with what the tests need around it: a private PulseAudio server (when the
# sound-server script is there) and the offscreen Qt platform.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
if [[ -x "$here/sound-server.sh" ]]; then
  exec "$here/sound-server.sh" run "$@"
fi
exec "$@"
