#!/usr/bin/env bash
# Runs tests that need a real window system: an X server of its own (Xvfb) with
# the openbox window manager, the program on Qt's xcb platform.
#   xvfb-tests.sh <test program> <gtest filter> [<width>x<height>]
# Exits 77 (skipped) when Xvfb, openbox or the X tools are not installed.
set -euo pipefail
program=$1
filter=$2
size=${3:-1024x768}

for tool in Xvfb openbox xwininfo xprop; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (scripts/setup-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb=
wm=
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display and writes its number when it is ready.
Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" "$program" --gtest_filter="$filter"
