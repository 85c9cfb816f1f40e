#!/usr/bin/env bash
# Runs "$@" with COM1 and COM3 of the harness's Wine prefix as the two ends of one
# line: two pseudo-terminals joined by socat, each given a plain serial port's
# settings. What a program writes to COM1 can be read on COM3. Inside the harness only.
set -euo pipefail
[ -n "${KORVANTO_WINE_HARNESS:-}" ] || { echo "port-pair: not inside the Wine harness" >&2; exit 2; }
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/korvanto-ports.XXXXXX")"
socat_pid=
cleanup() {
  wine_port_unlink 1
  wine_port_unlink 3
  if [ -n "$socat_pid" ]; then
    kill "$socat_pid" 2>/dev/null || true
    wait "$socat_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

socat pty,raw,echo=0,link="$work/a" pty,raw,echo=0,link="$work/b" 2>"$work/socat.log" &
socat_pid=$!
for _ in $(seq 100); do [ -e "$work/a" ] && [ -e "$work/b" ] && break; sleep 0.05; done
if [ ! -e "$work/a" ] || [ ! -e "$work/b" ]; then
  echo "port-pair: socat made no ptys" >&2
  exit 1
fi
wine_port_link 1 "$(readlink -f "$work/a")"
wine_port_link 3 "$(readlink -f "$work/b")"
"$@"
