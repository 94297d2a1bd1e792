#!/usr/bin/env bash
# Runs a test program on a headless Wayland compositor of its own (weston),
# through Qt's Wayland platform. The compositor's socket lives in a private
# runtime folder; the compositor is stopped again by its process id. Exits
# with 77 (skipped) where weston or Qt's Wayland platform is not installed.
# The first argument is Qt's plugin folder, the last the program.
set -uo pipefail

plugins=$1
shift
if ! command -v weston >/dev/null || [[ ! -e "$plugins/platforms/libqwayland-generic.so" ]]; then
    echo "weston or Qt's Wayland platform is not installed: skipped"
    exit 77
fi

runtime=$(mktemp -d)
chmod 0700 "$runtime"
pid=
cleanup() {
    if [[ -n "$pid" ]]; then
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
    rm -rf "$runtime"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
socket=trisk-test
weston --backend=headless-backend.so --socket="$socket" --width=1280 --height=1024 \
    --idle-time=0 --no-config \
    >"$runtime/weston.log" 2>&1 &
pid=$!
for _ in $(seq 200); do
    [[ -S "$runtime/$socket" ]] && break
    sleep 0.05
done
if [[ ! -S "$runtime/$socket" ]]; then
    echo "weston did not start" >&2
    cat "$runtime/weston.log" >&2
    exit 1
fi

# libwayland-client and the Wayland plugins Qt loads and unloads keep a few
# allocations to the end that the leak checker cannot trace to a module: in a
# sanitized build the other checks stay on, the leak check is off here.
if [[ -n ${ASAN_OPTIONS:-} ]]; then export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"; fi

# No X server and no session bus: the window runs on the compositor alone,
# and the tray finds no notification area.
env -u DISPLAY WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland \
    DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$@"
