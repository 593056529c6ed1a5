#!/usr/bin/env bash
# `make screenshots`: pictures of the window as a person sees it, title bar
# included, saved under build/screenshots/. Prints each picture's path.
set -euo pipefail

build_dir=$(realpath "$1")
dpi=${DPI:-96}
source "$(dirname "$0")/wine-desktop.sh"
source "$(dirname "$0")/wine-dpi.sh"
shots="$(dirname "$build_dir")/screenshots"
# At another dpi (`make screenshots DPI=144`) the pictures say which.
suffix=""
if [ "$dpi" != 96 ]; then
    suffix="-${dpi}dpi"
    trap restore_wine_dpi EXIT
    set_wine_dpi "$dpi"
fi

window=$(open_program "$build_dir/app/Tovask.exe")

photograph_window "$window" "$shots/main-window$suffix.png"
echo "$shots/main-window$suffix.png"

# The About panel, opened from within the program's desktop, with the pointer
# over one of its links, which shows orange. Wine's explorer hands the posing
# program to the desktop and returns at once: the picture waits for the file
# that the pose writes when it is done.
posed="$shots/.about-panel.posed"
rm -f "$posed"
"$WINE" explorer "/desktop=$desktop_name,$desktop_size" \
    "$build_dir/tests/ui/pose_about_panel.exe" "Z:$posed" >/dev/null 2>&1
for _ in $(seq "$patience_tenths"); do
    [ -f "$posed" ] && break
    sleep 0.1
done
rm -f "$posed"
about=$(wait_for_window "Acerca de Tovask $program_version")
photograph_window "$about" "$shots/about-panel$suffix.png"
echo "$shots/about-panel$suffix.png"

end_window_process "$window"

# The findings dialog and the closing summary, from the window posed over a
# hijacked machine kept in memory: the pose shows the dialog and waits for
# its picture, repairs what is checked, answers the closing messages and
# says when the report ends with the summary.
marks="$shots/.findings"
rm -f "$marks".*
"$WINE" explorer "/desktop=$desktop_name,$desktop_size" \
    "$build_dir/tests/ui/pose_findings.exe" "Z:$marks" >/dev/null 2>&1
wait_for_file() {
    for _ in $(seq "$patience_tenths"); do
        [ -f "$1" ] && return 0
        sleep 0.1
    done
    echo "the pose did not write $1" >&2
    return 1
}
wait_for_file "$marks.dialog"
dialog=$(wait_for_window "Otros navegadores")
photograph_window "$dialog" "$shots/findings-dialog$suffix.png"
echo "$shots/findings-dialog$suffix.png"
touch "$marks.taken"
wait_for_file "$marks.summary"
posed=$(wait_for_window "Tovask $program_version")
photograph_window "$posed" "$shots/closing-summary$suffix.png"
echo "$shots/closing-summary$suffix.png"
end_window_process "$posed"
rm -f "$marks".*
