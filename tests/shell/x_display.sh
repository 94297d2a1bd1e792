# Sourced by the test runners that need a real X display: a work folder and
# the processes started for the test, stopped again by their process ids when
# the runner exits, and start_x_display, which starts Xvfb on a free display
# number with openbox as window manager and exports DISPLAY.
work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
        wait "${pids[i]}" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

start_x_display() {
    # Xvfb picks a free display number itself and writes it to the descriptor.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    for _ in $(seq 200); do
        [[ -s "$work/display" ]] && break
        sleep 0.05
    done
    [[ -s "$work/display" ]] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$work/display")"

    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    # A window mapped before the window manager runs is minimised by nobody:
    # wait until openbox has announced itself on the root window (on a fresh
    # machine its first start also builds the font cache, which takes seconds).
    for _ in $(seq 400); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.05
    done
}
