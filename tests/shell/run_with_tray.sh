#!/usr/bin/env bash
# Runs a test program on a display of its own: Xvfb on a free display number,
# openbox as window manager and trayer as notification area (XEmbed), all
# started before the program, since Qt looks for the tray when the program
# asks for it. Everything started here is stopped again by its process id.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/x_display.sh"

start_x_display
"${helper_env[@]}" trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 \
    --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
wait_until 120 "trayer did not start" "$work/trayer.log" \
    bash -c 'xdotool search --classname trayer >/dev/null 2>&1'
sleep 0.3

# The X11 tray, not a D-Bus one: no session bus.
DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent QT_QPA_PLATFORM=xcb "$@"
status=$?
exit $status
