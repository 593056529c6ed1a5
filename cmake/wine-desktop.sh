# Sourced by run-program.sh and take-screenshots.sh: shows the program in a
# Wine virtual desktop and photographs its window. Without a window manager,
# as on a virtual display, a plain Wine window has no title bar; inside a
# Wine desktop Wine draws the frame itself, as Windows would.
# Needs xwininfo and xprop (x11-utils) and ImageMagick's import.

desktop_name=tovask-screenshots
desktop_size=1024x768
patience_tenths=600  # a fresh Wine prefix is slow to open its first window

# Starts the program inside the desktop, in the background, and prints the X
# window id of its main window once that is there.
open_program() {
    "$WINE" explorer "/desktop=$desktop_name,$desktop_size" "$1" >/dev/null 2>&1 &
    wait_for_window "Tovask 2.0.3"
}

# Prints the X window id of the top-level window with this title, once it is
# there.
wait_for_window() {
    local title=$1 id=""
    for _ in $(seq "$patience_tenths"); do
        id=$(xwininfo -name "$title" 2>/dev/null | awk '/Window id:/ {print $4}')
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { echo "no window \"$title\" appeared" >&2; return 1; }
    echo "$id"
}

# Saves what the screen shows of the window, frame included, once two
# pictures in a row agree (the window has finished painting).
photograph_window() {
    local id=$1 picture=$2
    local previous="$picture.previous.png" place
    place=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $4}
                                      /Absolute upper-left Y/ {y = $4}
                                      /Width:/ {w = $2} /Height:/ {h = $2}
                                      END {print w "x" h "+" x "+" y}')
    mkdir -p "$(dirname "$picture")"
    import -window root -crop "$place" +repage "$previous"
    for _ in $(seq "$patience_tenths"); do
        sleep 0.1
        import -window root -crop "$place" +repage "$picture"
        compare -metric AE "$picture" "$previous" null: 2>/dev/null && break
        mv "$picture" "$previous"
    done
    rm -f "$previous"
}

# Ends the process that owns the window: the program we started, by its id.
end_window_process() {
    local id=$1 pid
    pid=$(xprop -id "$id" _NET_WM_PID | awk '{print $3}')
    kill "$pid"
}
