#!/usr/bin/env bash
# The real program under Xvfb, bare or with openbox (X11_WM), with real X input
# (xdotool), against korvanto-sim on COM2, with Qt's own options on its command line,
# which Qt never sees: the file dialog opens with "*.bin" in its name box, Return on it
# keeps the dialog open, a typed name confirms it, Escape cancels it; Enter with the
# focus on a check box starts the run; while the ownerless lock-bits notice is open a
# click on the panel's blank-test box goes through; once the notice is closed the panel
# has the keyboard focus again, and Escape, typed wherever the focus is, ends the panel
# and the process, which leaves nothing in its home directory. The simulated flash then
# holds the image, the verify matched, no pause fell short.
# Usage: x11_panel_test.sh PROBE SIM
set -u
. "$(dirname "$0")/../support/x11.sh"
probe="$1"
sim="$2"
work="$(mktemp -d)"
xvfb_pid=""
wm_pid=""
probe_pid=""
sim_pid=""
cleanup() {
  [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "x11_panel_test (${X11_WM:-bare}): $*" >&2
  echo "--- probe output:" >&2; cat "$work/out" >&2 2>/dev/null
  echo "--- probe errors:" >&2; grep -v 'does not support' "$work/err" >&2 2>/dev/null
  echo "--- simulator:" >&2; cat "$work/sim.out" >&2 2>/dev/null
  exit 1
}

head -c 300 /dev/urandom >"$work/image.bin"
"$sim" --link "$work/com2" --expect "$work/image.bin" --ready-file "$work/ready" \
  >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/ready" ] && break; sleep 0.1; done
[ -s "$work/ready" ] || fail "korvanto-sim did not start"

start_xvfb "$work"

mkdir -p "$work/home"
(
  export QT_QPA_PLATFORM=xcb HOME="$work/home"
  unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME
  export KORVANTO_COM2="$work/com2"
  exec "$probe" -platform nonsense -reverse -style windows -qwindowtitle Fremd \
    /ERASE /WRITE /VERIFY /LOCK "$work/image.bin"
) >"$work/out" 2>"$work/err" &
probe_pid=$!

panel="Steuerung Programmiergerät"
files() { grep -c '^FILE ' "$work/out"; }

wait_line '^PANEL blank '
read -r _ _ bx by < <(grep '^PANEL blank ' "$work/out")
read -r _ _ fx fy < <(grep '^PANEL browse ' "$work/out")
window "$panel" >/dev/null || fail "no panel"
grep -qx 'QT arguments=1 direction=ltr' "$work/out" || fail "Qt took options of the command line"
[ "$(files)" = 1 ] || fail "the command line's image is not in the field"

# The file dialog: the pattern in its name box does not confirm it, a real name does.
xdotool mousemove "$fx" "$fy" click 1
press "Open" Return
sleep 1
window "Open" >/dev/null || fail "the pattern closed the file dialog"
[ "$(files)" = 1 ] || fail "the pattern was taken as a file"
press "Open" ctrl+a
xdotool type --delay 20 "$work/image.bin"
sleep 0.3
xdotool key Return
for _ in $(seq 50); do [ "$(files)" = 2 ] && break; sleep 0.1; done
[ "$(grep '^FILE ' "$work/out" | tail -n 1)" = "FILE $work/image.bin" ] ||
  fail "the typed name was not chosen"
# Once more, cancelled: nothing changes.
sleep 0.5
xdotool mousemove "$fx" "$fy" click 1
press "Open" Escape
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1 || break
  sleep 0.1
done
sleep 0.5
[ "$(files)" = 2 ] || fail "the cancelled dialog changed the field"

# Two clicks: the blank-test box has the focus and is unchecked again.
xdotool mousemove "$bx" "$by" click 1
sleep 0.3
xdotool mousemove "$bx" "$by" click 1
sleep 0.3
press "$panel" Return
wait_line '^RUN-START focus=1024$'

# The lock-bits notice has no owner: the panel still takes the click.
window "Achtung" >/dev/null || fail "no lock-bits notice"
xdotool mousemove "$bx" "$by" click 1
sleep 0.5
press "Achtung" Return
wait_line '^RUN-END ' 300
grep -qx 'RUN-END blank=1 lock=1' "$work/out" || fail "the click during the notice did not reach the panel"

# The notice is closed: the panel has the keyboard focus again.
pointer_away
sleep 0.5
xdotool key Escape
for _ in $(seq 100); do kill -0 "$probe_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$probe_pid" 2>/dev/null && fail "Escape after the notice did not reach the panel"
wait "$probe_pid"
status=$?
probe_pid=""
[ "$status" = 0 ] || fail "the program ended with $status"
grep -qx 'EXIT 0' "$work/out" || fail "no EXIT 0"
[ -z "$(find "$work/home" -mindepth 1 -print -quit)" ] || fail "files written: $(find "$work/home" -mindepth 1)"

kill -TERM "$sim_pid"
wait "$sim_pid"
sim_status=$?
sim_pid=""
[ "$sim_status" = 0 ] || fail "korvanto-sim ended with $sim_status"
expect() { grep -q "$1" "$work/sim.out" || fail "simulator: expected '$1'"; }
expect '^CMD n=1 code=0x12 name=erase result=ok$'
expect '^CMD n=2 code=0x04 name=write data=300 result=ok$'
expect '^CMD n=3 code=0x08 name=verify data=300 result=ok$'
expect '^CMD n=4 code=0xe0 name=lock-bits result=ok$'
expect '^SUMMARY .* shortfalls=0 '
expect '^EXPECT flash matches '
echo "x11_panel_test (${X11_WM:-bare}): passed"
