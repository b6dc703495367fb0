#!/bin/sh
# Renders the start screen, the group list, the payment list, the verification
# list and the receiving screen over the sample files to docs/screens/*.png.
# Run it from anywhere after a screen changed: ./scripts/screenshots.sh [build dir]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target zarvshots
# On a screen of 1366x768, as a clerk's: every window fits the screen it opens on.
QT_QPA_PLATFORM="offscreen:configfile=$root/tests/shell/screens/1366x768.json" \
  "$build/bin/zarvshots" "$root/docs/screens" "$root/samples"
