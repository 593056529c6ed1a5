#!/usr/bin/env bash
# `make screenshots`: pictures of the window as a person sees it, title bar
# included, saved under build/screenshots/. Prints each picture's path.
set -euo pipefail

build_dir=$(realpath "$1")
source "$(dirname "$0")/wine-desktop.sh"
shots="$(dirname "$build_dir")/screenshots"

window=$(open_program "$build_dir/app/Tovask.exe")

photograph_window "$window" "$shots/main-window.png"
echo "$shots/main-window.png"

# Later pictures of the same run, taken after driving the window, go here.

end_window_process "$window"
