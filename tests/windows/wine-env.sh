# shellcheck shell=bash
# The Wine harness of the Windows tests. Source it (bash), then:
#
#   wine_env_start DIR [--keep-display]
#                        a fresh Wine prefix under DIR, its own wineserver started
#                        before any Wine program, a private Xvfb (with --keep-display
#                        the DISPLAY given stays); exports WINEPREFIX, WINEDEBUG,
#                        WINEDLLOVERRIDES, LC_ALL, DISPLAY and KORVANTO_WINE_HARNESS
#                        (tests/windows/wine-run needs it)
#   wine_env_stop        stops the server (and every Wine process), Xvfb and openbox,
#                        removes the prefix; safe to call twice (use it in a trap)
#
# and, for a test running inside it:
#
#   wine_port_link N PTY   COMn of the prefix is the pseudo-terminal PTY, given the
#                          settings of a plain serial port first
#   wine_port_unlink N     COMn names nothing again
#   wine_openbox_start / wine_openbox_stop   a window manager on the display
#
# Why its own server: a wineserver that a Wine program starts itself becomes a session
# leader and can take a test's pty as its controlling terminal; a 0x03 on the line then
# kills it with every Wine process, and wine still exits 0. A warm server also makes each
# Wine start take a few hundredths of a second instead of seconds.

# wine_env_start DIR
wine_env_start() {
  local dir
  dir="$(cd "$1" && pwd)"
  # Wine's ANSI code page follows the locale: C.UTF-8 gives Windows-1252.
  export LC_ALL=C.UTF-8
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  WINEPREFIX="$(mktemp -d "$dir/wine-prefix.XXXXXX")"
  export WINEPREFIX
  wine_env_dir="$WINEPREFIX"

  # The server first; its pid is ours to wait on.
  wineserver -f -p >"$wine_env_dir.server.log" 2>&1 &
  wine_server_pid=$!
  # Ready once it listens: it works in its server directory, which holds the socket.
  local cwd=
  for _ in $(seq 200); do
    cwd="$(readlink "/proc/$wine_server_pid/cwd" 2>/dev/null || true)"
    [ -S "$cwd/socket" ] && break
    sleep 0.05
  done
  if [ ! -S "$cwd/socket" ]; then
    echo "wine-env: the wineserver did not start (see $wine_env_dir.server.log)" >&2
    return 1
  fi
  wine_server_dir="$cwd"

  if [ "${2:-}" != --keep-display ]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_env_dir.display" \
      >"$wine_env_dir.xvfb.log" 2>&1 &
    wine_xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$wine_env_dir.display" ] && break; sleep 0.1; done
    if [ ! -s "$wine_env_dir.display" ]; then
      echo "wine-env: Xvfb did not start" >&2
      return 1
    fi
    DISPLAY=":$(head -n 1 "$wine_env_dir.display")"
    export DISPLAY
  fi

  # The prefix is made once, before any test; its own COM1 link (to the machine's
  # first serial port) goes, so that only a test's link names a port.
  if ! wine wineboot --init >"$wine_env_dir.boot.log" 2>&1; then
    echo "wine-env: the Wine prefix could not be made (see $wine_env_dir.boot.log)" >&2
    return 1
  fi
  rm -f "$WINEPREFIX"/dosdevices/com[0-9]*
  export KORVANTO_WINE_HARNESS=1
}

wine_env_stop() {
  wine_openbox_stop
  if [ -n "${wine_server_pid:-}" ]; then
    wineserver -k 2>/dev/null || true
    wait "$wine_server_pid" 2>/dev/null || true
    wine_server_pid=
  fi
  # The server leaves its directory (with a lock file) in a folder of its own in /tmp.
  if [ -n "${wine_server_dir:-}" ]; then
    rm -rf "$wine_server_dir"
    rmdir "$(dirname "$wine_server_dir")" 2>/dev/null || true
    wine_server_dir=
  fi
  if [ -n "${wine_xvfb_pid:-}" ]; then
    kill "$wine_xvfb_pid" 2>/dev/null || true
    wait "$wine_xvfb_pid" 2>/dev/null || true
    wine_xvfb_pid=
  fi
  if [ -n "${wine_env_dir:-}" ]; then
    rm -rf "$wine_env_dir" "$wine_env_dir".*
    wine_env_dir=
  fi
}

# wine_port_link N PTY: the pty gets a serial port's settings as Linux gives them to a
# port nobody has set up (cooked: output post-processing, input line editing, echo),
# except XON/XOFF, which Wine would take over as the port's flow control and which a
# COM port does not have by default. A program that applies its settings gets a raw
# line; one that does not gets 0x0A sent as 0x0D 0x0A, as it would on such a port.
wine_port_link() {
  stty -F "$2" sane -ixon -ixoff -crtscts clocal cs8 -parenb -cstopb 9600 || return 1
  ln -sfn "$2" "$WINEPREFIX/dosdevices/com$1"
}

wine_port_unlink() {
  rm -f "$WINEPREFIX/dosdevices/com$1"
}

wine_openbox_start() {
  [ -n "${wine_openbox_pid:-}" ] && return 0
  local id
  wine_openbox_log="$(mktemp "${TMPDIR:-/tmp}/korvanto-openbox.XXXXXX")"
  openbox >"$wine_openbox_log" 2>&1 &
  wine_openbox_pid=$!
  # Running once the root window names its check window and that window is openbox's
  # (a window manager stopped earlier may have left the property behind).
  for _ in $(seq 300); do
    id="$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # //p')"
    [ -n "$id" ] && xprop -id "$id" _NET_WM_NAME 2>/dev/null | grep -q Openbox && return 0
    kill -0 "$wine_openbox_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "wine-env: openbox did not start:" >&2
  cat "$wine_openbox_log" >&2
  wine_openbox_stop
  return 1
}

wine_openbox_stop() {
  if [ -n "${wine_openbox_pid:-}" ]; then
    kill "$wine_openbox_pid" 2>/dev/null || true
    wait "$wine_openbox_pid" 2>/dev/null || true
    wine_openbox_pid=
  fi
  if [ -n "${wine_openbox_log:-}" ]; then
    rm -f "$wine_openbox_log"
    wine_openbox_log=
  fi
}
