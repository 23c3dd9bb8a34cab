#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a desktop and a software centre read of the installed program, checked as their tools
# check it: the AppStream metainfo, the desktop entry and the manual page; then an install with
# --strip into a scratch prefix puts each file where it belongs and the program stripped.
# Usage: desktop_files_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
metainfo=io.github.zudorave.Zudorave.metainfo.xml
failed=0
fail() { echo "FAIL: $*"; failed=1; }

for tool in appstreamcli:appstream desktop-file-validate:desktop-file-utils groff:groff-base \
  readelf:binutils; do
  if ! command -v "${tool%%:*}" >/dev/null; then
    echo "FAIL: ${tool%%:*} is missing: bash scripts/setup.sh --tests installs ${tool#*:}"
    exit 1
  fi
done

appstreamcli validate --no-net --strict "$source_dir/app/$metainfo" ||
  fail "the metainfo does not validate"

for entry in zudorave.desktop zudorave-station.desktop; do
  out=$(desktop-file-validate "$source_dir/app/$entry" 2>&1) || fail "$entry does not validate"
  [[ -z "$out" ]] || { echo "$out"; fail "$entry has warnings"; }
done

# -ww: every warning groff knows; a page that renders cleanly says nothing.
out=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$source_dir/app/zudorave.1" 2>&1) ||
  fail "the manual page does not render"
[[ -z "$out" ]] || { echo "$out"; fail "the manual page renders with warnings"; }

# The program and the icon that the desktop entry names.
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$source_dir/app/zudorave.desktop")
icon=$(sed -n 's/^Icon=//p' "$source_dir/app/zudorave.desktop")
prefix=$(mktemp -d /tmp/zudorave-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" --strip >/dev/null
for file in "bin/$program" share/applications/zudorave{,-station}.desktop "share/metainfo/$metainfo" \
  share/man/man1/zudorave.1 "share/pixmaps/$icon.xpm" "share/icons/hicolor/scalable/apps/$icon.svg" \
  share/icons/hicolor/{32x32,48x48,64x64,128x128,256x256}/apps/"$icon.png"; do
  [[ -f "$prefix/$file" ]] || fail "not installed: $file"
done
for size in 32 48 64 128 256; do
  file="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [[ -f "$file" ]] || continue
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  read -r width height < <(od -An -tu1 -j16 -N8 "$file" |
    awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [[ "$width x $height" == "$size x $size" ]] || fail "the ${size}x${size} icon is ${width}x${height}"
done
if [[ -f "$prefix/bin/$program" ]] &&
  readelf -S "$prefix/bin/$program" | grep -qE '\.symtab|\.debug_'; then
  fail "the installed program is not stripped"
fi
# The installed tree as a software centre sees it: the desktop entry the metainfo names is there.
appstreamcli validate-tree --no-net --strict "$prefix" || fail "the installed tree does not validate"

[[ $failed == 0 ]] && echo "desktop files and install: all good"
exit "$failed"
