#!/usr/bin/env bash
# Runs a command with openbox on the harness's display: without a window manager Wine
# stalls about two seconds at each window that goes, which adds up over many dialogs.
# Usage: wine_openbox_run.sh COMMAND [ARG...]
set -u
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh"
trap wine_openbox_stop EXIT
wine_openbox_start || exit 1
"$@"
