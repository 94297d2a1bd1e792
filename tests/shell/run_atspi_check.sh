#!/usr/bin/env bash
# The table on a real accessibility bus: Xvfb with openbox, a private D-Bus
# session with the AT-SPI registry, the game on a saved Classical deal, and
# Debian's pyatspi reading it. Arguments: the game, trisk-tool, the reader.
# Everything started here is stopped again by its process id.
set -uo pipefail
game=$1 tool=$2 reader=$3
source "$(dirname "${BASH_SOURCE[0]}")/x_display.sh"
for d in home config data cache runtime config-dirs data-dirs; do mkdir -p "$work/$d"; done
chmod 700 "$work/runtime"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
# The window manager and the registry read the machine's data folders; the
# game, which as root writes its file association into the first of them,
# gets temporary ones (below).
export XDG_CONFIG_DIRS=$work/config-dirs XDG_DATA_DIRS=/usr/share

start_x_display

: >"$work/empty.txt"
"$tool" play --kind 1 --number 10 --script "$work/empty.txt" --out "$work/classical.kxr" || exit 1

dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$0/bus.log" 2>&1 &
    launcher=$!
    sleep 1
    XDG_DATA_DIRS="$0/data-dirs" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$1" "$0/classical.kxr" >"$0/game.log" 2>&1 &
    game=$!
    window=
    for _ in $(seq 200); do
        window=$(xdotool search --sync --onlyvisible --name "Solitaire Trisk" 2>/dev/null | head -n1)
        [[ -n $window ]] && break
        sleep 0.1
    done
    /usr/bin/python3 -u "$2" 19 "$window"
    status=$?
    kill $game $launcher 2>/dev/null
    wait $game 2>/dev/null
    exit $status
' "$work" "$game" "$reader"
