#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Zudorave needs from Debian packages:
#   setup.sh          what building and running it need
#   setup.sh --tests  that, and what the tests, the benchmarks and the format check need too
# Safe to run again: it installs only what is missing and says nothing when all is there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libsdl2-dev libasound2-dev libpulse-dev libsndfile1-dev
  fonts-dejavu-core
)
test_packages=(
  ccache clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  pulseaudio pulseaudio-utils
  xvfb xdotool x11-utils
  sox hyperfine
  appstream desktop-file-utils groff-base binutils
)

case "${1:-}" in
  "") ;;
  --tests) packages+=("${test_packages[@]}") ;;
  *)
    echo "usage: $0 [--tests]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
else
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
