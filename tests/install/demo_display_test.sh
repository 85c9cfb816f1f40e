#!/usr/bin/env bash
# scripts/demo with a display: a private Xvfb, the user's keys through the X server
# (Enter presses the default button "ausführen", Escape then closes the panel), and the
# simulated device's report must say the flash matches the sample image, and the demo
# must end with the programmed flash running in the 8051 simulator.
# Usage: demo_display_test.sh BUILD_DIR
set -euo pipefail
build="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
tmp="$(mktemp -d)"
xvfb_pid=""
demo_pid=""
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null && wait "$demo_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "demo_display_test: $*"; exit 1; }
. "$root/tests/support/x11.sh"

start_xvfb "$tmp"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM # the demo must find the display itself

KORVANTO_BUILD_DIR="$build" "$root/scripts/demo" --no-build >"$tmp/out" 2>&1 &
demo_pid=$!
win=""
for _ in $(seq 200); do
  win="$(xdotool search --name 'Steuerung Programmiergerät' 2>/dev/null | head -n1 || true)"
  [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || { cat "$tmp/out"; echo "the panel did not open"; exit 1; }
sleep 0.5
xdotool key --window "$win" Return
xdotool key --window "$win" Escape
status=0
wait "$demo_pid" || status=$?
demo_pid=""
cat "$tmp/out"
[ "$status" = 0 ] || { echo "demo exit status $status"; exit 1; }
grep -q 'name=write data=67 result=ok' "$tmp/out"
grep -q 'EXPECT flash matches' "$tmp/out"
grep -q 'demo: the simulated flash matches the image' "$tmp/out"
tail -n 1 "$tmp/out" | grep -q '^demo: the simulated chip runs the image: P1.0 toggles every'
