#!/usr/bin/env bash
# Runs a command with what the Windows tests need around it: a display (a
# virtual one when none is set), the build tree's Wine prefix, initialised
# once, and one persistent wineserver for the whole run. The command finds
# the loader for the tree's programs in WINE.
set -euo pipefail

build_dir=$(realpath "$1")
shift
source "$build_dir/wine-env.sh"

xvfb_pid=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    # Tells cmake/run-program.sh that nobody will see this display.
    export TOVASK_VIRTUAL_DISPLAY=1
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
fi

"$(dirname "$0")/init-wine-prefix.sh"
wineserver -p
# The first Wine program of a session starts Wine's own services, and they
# keep the standard streams they inherit open for as long as the server runs:
# ctest, reading a test's output through a pipe, would wait for them for
# ever. Started here, they hold nothing of the command's.
"$WINE" cmd /c exit </dev/null >/dev/null 2>&1
"$@"
