# Shared by the tests that drive real windows with real X input: a private Xvfb, with
# the window manager openbox on it when X11_WM=openbox (bare otherwise), and waits on a
# probe's output lines and on windows. Source it; the caller defines fail(), and for
# wait_line the variables work (its output is $work/out) and probe_pid.

# start_xvfb DIR: a server on a free display, chosen by the server itself; sets
# DISPLAY and xvfb_pid. With X11_WM=openbox the window manager runs on it (its home in
# DIR) once it has taken the screen; wm_pid is its process. The server's end ends it.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" 2>"$1/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  [ -s "$1/display" ] || fail "Xvfb did not start"
  DISPLAY=":$(head -n 1 "$1/display")"
  export DISPLAY
  wm_pid=""
  case "${X11_WM:-}" in
  "") ;;
  openbox)
    mkdir -p "$1/wm-home"
    HOME="$1/wm-home" XDG_CONFIG_HOME="$1/wm-home/.config" XDG_CACHE_HOME="$1/wm-home/.cache" \
      openbox --sm-disable >"$1/wm.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
      fail "openbox did not start"
    ;;
  *) fail "unknown X11_WM '$X11_WM'" ;;
  esac
}

# pointer_away: the pointer to the screen's bottom right corner, over no window, so
# that a key goes where the keyboard focus is and nowhere else.
pointer_away() {
  xdotool mousemove 1023 767
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
