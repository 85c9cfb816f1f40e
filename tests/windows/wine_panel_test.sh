#!/usr/bin/env bash
# The real korvanto.exe under Wine on the harness's X display, driven by real keys and
# clicks through the X server (xdotool), with korvanto-sim on a pseudo-terminal as the
# device behind COMn ($WINEPREFIX/dosdevices/comN). One case per run:
#
#   run          erase, write and verify of an image named on the command line: the
#                simulated flash equals the image, every byte arrived where it belongs
#   transfer     the transfer test on COM1
#   lockbits     the ownerless notice "Achtung" comes before the lock-bits frame, and
#                the panel stays usable while it is open
#   missingport  a port that names nothing: "Schwerer Fehler" with the first message
#   infobutton   the Info box from the "Info" button: owned by the panel, which is
#                disabled while it is open
#   infomenu     the Info box from the system menu (Alt+Space, then the entry's key)
#   emptyselection  nothing ticked: the panel's own box, owned by it, says so; the
#                port is opened and closed, nothing is sent
#   browse       the image chosen in the open-file dialog (a name typed without its
#                extension) is the one written
#
# Usage: wine_panel_test.sh CASE WM KORVANTO_EXE INSPECT_EXE KORVANTO_SIM
#   WM: openbox (a window manager runs) or none.
# Runs inside the Wine harness (tests/windows/wine-env.sh, started by scripts/test-windows).
set -u
case_name="$1"
wm="$2"
exe="$3"
inspect_exe="$4"
sim="$5"

here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"

work="$(mktemp -d)"
prog_pid=""
sim_pid=""
port=""
cleanup() {
  [ -n "$prog_pid" ] && kill "$prog_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wine_openbox_stop
  [ -n "$port" ] && wine_port_unlink "$port"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "wine_panel_test $case_name/$wm: $*" >&2
  echo "--- program output:" >&2; cat "$work/prog.out" >&2 2>/dev/null
  echo "--- simulator:" >&2; cat "$work/sim.out" >&2 2>/dev/null
  exit 1
}

[ -n "${KORVANTO_WINE_HARNESS:-}" ] && [ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] ||
  fail "not inside the Wine harness (scripts/test-windows)"
[ -x "$sim" ] || fail "no korvanto-sim at $sim: build the Linux tree first"

panel="Steuerung Programmiergerät"
# The panel's controls.
IDC_PROGRESS=1008 IDC_ERASE=1009 IDC_BROWSE=1013 IDC_WRITE=1010 IDC_VERIFY=1011 IDC_FILENAME=1014
IDC_INFO=1015 IDC_COM1=1018 IDC_COM2=1020 IDC_COM3=1019 IDC_TRANSFERTEST=1022
IDC_LOCK=1023 IDC_BLANKTEST=1024

inspect() { wine "$inspect_exe" "$@"; }

# start_sim N [OPTION...]: the simulated device behind COMn. A data stream ends at the
# next frame, not after the simulator's default settle time: on a busy machine Wine can
# hold the program back for longer than that between two bytes of one image.
start_sim() {
  local n="$1"
  shift
  "$sim" --link "$work/com$n" --ready-file "$work/ready" --stream-settle 5000 "$@" \
    >"$work/sim.out" 2>&1 &
  sim_pid=$!
  for _ in $(seq 100); do [ -s "$work/ready" ] && break; sleep 0.1; done
  [ -s "$work/ready" ] || fail "korvanto-sim did not start"
  port="$n"
  wine_port_link "$n" "$work/com$n" || fail "cannot link COM$n"
}

# stop_sim: ends the simulator (its summary follows) and checks its status.
stop_sim() {
  kill -TERM "$sim_pid"
  wait "$sim_pid"
  local status=$?
  sim_pid=""
  [ "$status" = 0 ] || fail "korvanto-sim ended with $status"
}

expect_sim() { grep -q "$1" "$work/sim.out" || fail "simulator: expected '$1'"; }

# wait_sim PATTERN [tries of 0.1 s]
wait_sim() {
  for _ in $(seq "${2:-300}"); do
    grep -q "$1" "$work/sim.out" && return 0
    sleep 0.1
  done
  fail "simulator: no line '$1'"
}

# visible TITLE: the ids of the visible windows with that title, none when xdotool
# fails (it stops at an X error when a window goes while it looks at it).
visible() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }

# window TITLE: waits for the visible window, prints its id.
window() {
  local id
  for _ in $(seq 100); do
    id="$(visible "$1" | head -n 1)"
    [ -n "$id" ] && echo "$id" && return 0
    sleep 0.3
  done
  return 1
}

# gone TITLE: waits until no visible window has that title (seen twice in a row).
gone() {
  local empty=0
  for _ in $(seq 100); do
    if [ -z "$(visible "$1")" ]; then
      empty=$((empty + 1))
      [ "$empty" = 2 ] && return 0
    else
      empty=0
    fi
    sleep 0.1
  done
  fail "window '$1' did not close"
}

# press TITLE KEY...: the window gets the keyboard focus, then the keys go through the
# X server.
press() {
  local title="$1" id
  shift
  id="$(window "$title")"
  [ -n "$id" ] || fail "no window '$title'"
  if [ "$wm" = openbox ]; then
    xdotool windowactivate --sync "$id" 2>/dev/null || fail "cannot activate '$title'"
  else
    xdotool windowfocus --sync "$id" 2>/dev/null || fail "cannot focus '$title'"
  fi
  sleep 0.3
  xdotool key "$@"
}

# type_in TITLE TEXT: as press, typing the text.
type_in() {
  press "$1" ctrl+a
  xdotool type --delay 50 "$2"
}

# click TITLE ID: a real mouse click on the control's middle.
click() {
  local where
  where="$(inspect center "$1" "$2")" || fail "no control $2 on '$1'"
  set -- $where
  xdotool mousemove "$2" "$3" click 1
}

# state TITLE ID: the control's line of the inspector.
state() { inspect state "$1" "$2" | grep "^CTRL $2 "; }
window_enabled() { inspect state "$1" | grep -q "^WINDOW enabled=$2\$"; }

# start_panel ARG...: korvanto.exe with these arguments, in the work folder.
start_panel() {
  (cd "$work" && exec wine "$exe" "$@") >"$work/prog.out" 2>&1 &
  prog_pid=$!
  [ -n "$(window "$panel")" ] || fail "no panel"
}

# end_panel: Escape ends the panel and the process, with status 0.
end_panel() {
  press "$panel" Escape
  for _ in $(seq 150); do kill -0 "$prog_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$prog_pid" 2>/dev/null && fail "the program did not end after Escape"
  wait "$prog_pid"
  local status=$?
  prog_pid=""
  [ "$status" = 0 ] || fail "the program ended with $status"
}

# A box title shown; none other ("Schwerer Fehler" twice, for instance) follows it.
no_window_after() {
  sleep "${2:-1}"
  [ -z "$(visible "$1")" ] || fail "another '$1' came"
}

case_run() {
  # Bytes a terminal would translate, swallow or act on, then random ones.
  { printf '\x03\x0a\x0d\x11\x13\x00\xff\x7f\x1c'; head -c 503 /dev/urandom; } >"$work/image.bin"
  start_sim 2 --expect "$work/image.bin"
  start_panel /COM2 /ERASE /WRITE /VERIFY image.bin
  state "$panel" $IDC_FILENAME | grep -q ' text=image.bin$' || fail "the field does not show the image"
  press "$panel" Return
  wait_sim '^CMD n=3 '
  end_panel
  stop_sim
  expect_sim '^LINE baud=1200 bits=8 parity=none stop=1 result=ok$'
  expect_sim '^CMD n=1 code=0x12 name=erase result=ok$'
  expect_sim '^CMD n=2 code=0x04 name=write data=512 result=ok$'
  expect_sim '^CMD n=3 code=0x08 name=verify data=512 result=ok$'
  expect_sim '^SUMMARY commands=3 stray=0 dropped=0 shortfalls=0 line-faults=0 locked=no blank=no '
  expect_sim '^EXPECT flash matches '
}

case_transfer() {
  start_sim 1
  start_panel /COM1 /TEST
  press "$panel" Return
  wait_sim '^CMD n=1 '
  end_panel
  stop_sim
  expect_sim '^LINE baud=1200 bits=8 parity=none stop=1 result=ok$'
  expect_sim '^CMD n=1 code=0x80 name=transfer-test data=255 result=ok$'
  expect_sim '^SUMMARY commands=1 stray=0 dropped=0 '
}

case_lockbits() {
  start_sim 2
  start_panel /LOCK
  press "$panel" Return
  [ -n "$(window Achtung)" ] || fail "no lock-bits notice"
  inspect texts Achtung | grep -q 'Adaptersockel' || fail "the notice does not name the socket"
  # The notice waits for the user: nothing is on the line yet, however long it stays.
  sleep 1
  if grep -q '^CMD\|^STRAY' "$work/sim.out"; then
    fail "bytes on the line before the notice was closed"
  fi
  # It has no owner: the panel takes a click on the blank-test box meanwhile.
  window_enabled "$panel" 1 || fail "the panel is disabled while the notice is open"
  click "$panel" $IDC_BLANKTEST
  sleep 0.5
  state "$panel" $IDC_BLANKTEST | grep -q ' check=1 ' || fail "the click on the panel did not go through"
  # Without a window manager the keyboard focus may stay behind after that click: the
  # notice's OK button is clicked.
  click Achtung 1
  wait_sim '^CMD n=1 '
  gone Achtung
  end_panel
  stop_sim
  expect_sim '^CMD n=1 code=0xe0 name=lock-bits result=ok$'
  expect_sim '^SUMMARY commands=1 stray=0 '
}

case_missingport() {
  [ -e "$WINEPREFIX/dosdevices/com3" ] && fail "COM3 names something in the prefix"
  start_panel /COM3 /ERASE
  press "$panel" Return
  [ -n "$(window "Schwerer Fehler")" ] || fail "no fatal error report"
  inspect texts "Schwerer Fehler" |
    grep -q '^TEXT Konnte kein Handle für die \\nserielle Schnittstelle bekommen!\\n.' ||
    fail "the report does not start with the first message: $(inspect texts "Schwerer Fehler")"
  window_enabled "$panel" 1 || fail "the report has an owner"
  press "Schwerer Fehler" Return
  gone "Schwerer Fehler"
  no_window_after "Schwerer Fehler"
  state "$panel" $IDC_PROGRESS | grep -q ' visible=0 ' || fail "the progress bar was shown"
  end_panel
}

# The Info box is open and owned by the panel; Enter closes it and the panel is
# usable again.
info_box_round() {
  [ -n "$(window "Info über Korvanto")" ] || fail "no Info box ($1)"
  inspect texts "Info über Korvanto" | grep -q '^TEXT Korvanto, Version 1.0$' ||
    fail "the Info box does not name the program ($1)"
  window_enabled "$panel" 0 || fail "the panel is usable while the Info box is open ($1)"
  press "Info über Korvanto" Return
  gone "Info über Korvanto"
  window_enabled "$panel" 1 || fail "the panel stays disabled after the Info box ($1)"
}

case_infobutton() {
  start_panel
  click "$panel" $IDC_INFO
  info_box_round "first"
  click "$panel" $IDC_INFO
  info_box_round "second"
  end_panel
}

case_infomenu() {
  start_panel
  # "Inf&o über Korvanto...": its key is o.
  press "$panel" alt+space
  sleep 0.5
  xdotool key o
  info_box_round "system menu"
  end_panel
}

case_emptyselection() {
  start_sim 2
  start_panel
  click "$panel" $IDC_ERASE
  sleep 0.5
  state "$panel" $IDC_ERASE | grep -q ' check=0 ' || fail "erase is still ticked"
  press "$panel" Return
  [ -n "$(window "Schwerer Fehler")" ] || fail "no message for the empty selection"
  inspect texts "Schwerer Fehler" | grep -q '^TEXT Es wurden keine Aktionen ausgewählt!$' ||
    fail "not the message for an empty selection: $(inspect texts "Schwerer Fehler")"
  window_enabled "$panel" 0 || fail "the panel is usable while its own box is open"
  press "Schwerer Fehler" Return
  gone "Schwerer Fehler"
  window_enabled "$panel" 1 || fail "the panel stays disabled after its box"
  # The port was opened for the run: its settings are the program's.
  stty -F "$work/com2" -a | grep -q 'speed 1200 baud' || fail "the run did not set up the port"
  end_panel
  stop_sim
  if grep -q '^CMD\|^STRAY\|^LINE' "$work/sim.out"; then fail "bytes were sent"; fi
}

case_browse() {
  head -c 700 /dev/urandom >"$work/chosen.bin"
  start_sim 2 --expect "$work/chosen.bin"
  start_panel /TEST
  click "$panel" $IDC_BROWSE
  [ -n "$(window Open)" ] || fail "no file dialog"
  window_enabled "$panel" 0 || fail "the panel is usable while the file dialog is open"
  # The dialog starts in the folder it saw last; the name goes with its folder. Wine
  # shows / as drive Z:.
  local folder path
  folder="Z:${work//\//\\}"
  type_in Open "$folder\\chosen"
  xdotool key Return
  gone Open
  window_enabled "$panel" 1 || fail "the panel stays disabled after the file dialog"
  # The full path with the default extension, as the field shows it (lower case).
  path="$(printf '%s\\chosen.bin' "$folder" | tr '[:upper:]' '[:lower:]')"
  state "$panel" $IDC_FILENAME | grep -qF " text=$path" ||
    fail "the field does not show $path: $(state "$panel" $IDC_FILENAME)"
  state "$panel" $IDC_WRITE | grep -q ' enabled=1 check=1 ' || fail "write not enabled and checked"
  state "$panel" $IDC_VERIFY | grep -q ' enabled=1 check=0 ' || fail "verify not enabled, or checked"
  state "$panel" $IDC_ERASE | grep -q ' check=1 ' || fail "erase not checked"
  state "$panel" $IDC_TRANSFERTEST | grep -q ' check=0 ' || fail "transfer test still checked"
  press "$panel" Return
  wait_sim '^CMD n=2 '
  end_panel
  stop_sim
  expect_sim '^CMD n=1 code=0x12 name=erase result=ok$'
  expect_sim '^CMD n=2 code=0x04 name=write data=700 result=ok$'
  expect_sim '^SUMMARY commands=2 stray=0 dropped=0 shortfalls=0 line-faults=0 '
  expect_sim '^EXPECT flash matches '
}

if [ "$wm" = openbox ]; then
  wine_openbox_start || fail "openbox did not start"
fi
declare -F "case_$case_name" >/dev/null || fail "unknown case"
"case_$case_name"
echo "wine_panel_test $case_name/$wm: passed"
