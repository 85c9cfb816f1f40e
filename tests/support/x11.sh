# Shared by the tests that drive real windows with real X input: a private Xvfb, and
# waits on a probe's output lines and on windows. Source it; the caller defines fail(),
# and for wait_line the variables work (its output is $work/out) and probe_pid.

# start_xvfb DIR: a server on a free display, chosen by the server itself; sets
# DISPLAY and xvfb_pid.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" 2>"$1/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  [ -s "$1/display" ] || fail "Xvfb did not start"
  DISPLAY=":$(head -n 1 "$1/display")"
  export DISPLAY
}

# wait_line PATTERN [tries of 0.1 s]: until the probe printed a matching line.
wait_line() {
  for _ in $(seq "${2:-200}"); do
    grep -q "$1" "$work/out" && return 0
    kill -0 "$probe_pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "no line '$1'"
}

# window TITLE: waits for the visible window, prints its id.
window() {
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# press TITLE KEY: focuses the window and sends the key through the X server.
press() {
  local id
  id="$(window "$1")" || fail "no window '$1'"
  [ -n "$id" ] || fail "no window '$1'"
  xdotool windowfocus --sync "$id" || fail "cannot focus '$1'"
  sleep 0.3
  xdotool key "$2"
}
