# Sourced by the test runners that need a real X display: a work folder and
# the processes started for the test, stopped again by their process ids when
# the runner exits, and start_x_display, which starts Xvfb on a free display
# number with openbox as window manager and exports DISPLAY.
work=$(mktemp -d)
# The helpers started here (window manager, tray) keep their caches and
# settings in the work folder, never in the machine's home folder.
mkdir -p "$work/helper-home"
helper_env=(env HOME="$work/helper-home" XDG_CONFIG_HOME="$work/helper-home/config"
    XDG_CACHE_HOME="$work/helper-home/cache" XDG_DATA_HOME="$work/helper-home/data")
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
    wait_until 60 "Xvfb did not start" "$work/xvfb.log" test -s "$work/display"
    export DISPLAY=":$(head -n1 "$work/display")"

    "${helper_env[@]}" openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    # A window mapped before the window manager runs is minimised by nobody:
    # wait until openbox has announced itself on the root window. On a fresh,
    # busy machine that has taken longer than twenty seconds, so the wait is
    # long, and a window manager that ends or never comes fails the run here.
    local openbox=$!
    wait_until 120 "openbox did not start" "$work/openbox.log" \
        bash -c 'kill -0 '"$openbox"' 2>/dev/null || exit 0
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
    kill -0 "$openbox" 2>/dev/null || { echo "openbox ended" >&2; cat "$work/openbox.log" >&2; exit 1; }
}

# wait_until SECONDS MESSAGE LOG COMMAND...: runs COMMAND until it succeeds;
# past the deadline prints MESSAGE and the log and ends the runner.
wait_until() {
    local seconds=$1 message=$2 log=$3
    shift 3
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        if ((SECONDS >= deadline)); then
            echo "$message" >&2
            cat "$log" >&2
            exit 1
        fi
        sleep 0.05
    done
}
