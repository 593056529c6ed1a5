#!/usr/bin/env bash
# `make run`: the program on the user's display. On the virtual display that
# with-wine-session.sh starts when there is none, nobody would see it: the
# window is photographed instead and the picture's path printed.
set -euo pipefail

build_dir=$(realpath "$1")
program="$build_dir/app/Tovask.exe"

if [ "${TOVASK_VIRTUAL_DISPLAY:-}" != 1 ]; then
    "$WINE" "$program"
    exit
fi

source "$(dirname "$0")/wine-desktop.sh"
picture="$(dirname "$build_dir")/screenshots/main-window.png"
window=$(open_program "$program")
photograph_window "$window" "$picture"
end_window_process "$window"
echo "$picture"
