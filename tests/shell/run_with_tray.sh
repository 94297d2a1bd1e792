#!/usr/bin/env bash
# Runs a test program on a display of its own: Xvfb on a free display number,
# openbox as window manager and trayer as notification area (XEmbed), all
# started before the program, since Qt looks for the tray when the program
# asks for it. Everything started here is stopped again by its process id.
set -uo pipefail

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
# A window mapped before the window manager runs is minimised by nobody: wait
# until openbox has announced itself on the root window (on a fresh machine
# its first start also builds the font cache, which takes seconds).
for _ in $(seq 400); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.05
done
trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 \
    --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do
    xdotool search --classname trayer >/dev/null 2>&1 && break
    sleep 0.05
done
sleep 0.3

# The X11 tray, not a D-Bus one: no session bus.
DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent QT_QPA_PLATFORM=xcb "$@"
status=$?
exit $status
