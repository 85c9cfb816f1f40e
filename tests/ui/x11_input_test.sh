#!/usr/bin/env bash
# Real X input under Xvfb, bare or with openbox (X11_WM): an ownerless box leaves the
# other window clickable and, once closed, gives the keyboard focus back to the window
# that had it; a box owned by a window blocks it; Enter and Escape end a dialog, and the
# window that opened it has the focus again. Keys after a box has closed are typed
# wherever the focus is, with the pointer over no window.
# Usage: x11_input_test.sh PROBE
set -u
. "$(dirname "$0")/../support/x11.sh"
probe="$1"
work="$(mktemp -d)"
xvfb_pid=""
wm_pid=""
probe_pid=""
cleanup() {
  [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "x11_input_test (${X11_WM:-bare}): $*" >&2
  echo "--- probe output:" >&2
  cat "$work/out" >&2 2>/dev/null
  echo "--- probe errors:" >&2
  tail -n 40 "$work/err" >&2 2>/dev/null
  exit 1
}

start_xvfb "$work"
export QT_QPA_PLATFORM=xcb

"$probe" >"$work/out" 2>"$work/err" &
probe_pid=$!

wait_line '^ERASE '
read -r _ ex ey < <(grep '^ERASE ' "$work/out")

# Box A has no owner: a click on the panel's check box goes through.
window "Box A" >/dev/null || fail "no Box A"
xdotool mousemove "$ex" "$ey" click 1
sleep 0.5
press "Box A" Return
wait_line '^A erase='

# The panel has the focus again: Return runs its default button.
pointer_away
sleep 0.5
xdotool key Return
wait_line '^EXECUTE$' 50

# Box B is owned by the panel: the same click does nothing.
window "Box B" >/dev/null || fail "no Box B"
xdotool mousemove "$ex" "$ey" click 1
sleep 0.5
press "Box B" Return
wait_line '^B erase='

press "Info über Korvanto" Return
wait_line '^INFO1 '
press "Info über Korvanto" Escape
wait_line '^INFO2 '

# The panel has the focus again: Escape ends it.
pointer_away
sleep 0.5
xdotool key Escape
wait_line '^PANEL ' 50

for _ in $(seq 100); do kill -0 "$probe_pid" 2>/dev/null || break; sleep 0.1; done
wait "$probe_pid"
status=$?
probe_pid=""
[ "$status" = 0 ] || fail "probe ended with $status"

expect() { grep -qx "$1" "$work/out" || fail "expected '$1'"; }
expect "A erase=1"
expect "B erase=1"
expect "INFO1 result=1"
expect "INFO2 result=2"
expect "PANEL result=2"
echo "x11_input_test (${X11_WM:-bare}): passed"
