#!/usr/bin/env bash
# How often solitaire-trisk wakes up while the player does nothing: starts it
# on a display of its own (Xvfb) in a sandbox home, lets it settle, then counts
# the context switches of all its threads over SECONDS (default 20). The clock
# of a game in play ticks once a second; anything much above one wake-up a
# second is something else polling.
#
# Usage: bench/idle_wakeups.sh [SECONDS]   (build folder: $TRISK_BUILD_DIR or build/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TRISK_BUILD_DIR:-$root/build}"
seconds="${1:-20}"
if [[ -z "${TRISK_BENCH_UNDER_XVFB:-}" ]]; then
    export TRISK_BENCH_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
sandbox="$(mktemp -d)"
export HOME="$sandbox" XDG_CONFIG_HOME="$sandbox/config" XDG_DATA_HOME="$sandbox/data"
export XDG_CONFIG_DIRS="$sandbox/etc-xdg" XDG_DATA_DIRS="$sandbox/share" XDG_CACHE_HOME="$sandbox/cache"
"$build/bin/solitaire-trisk" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$sandbox"' EXIT
sleep 3
switches() {
    local total=0 n
    for status in /proc/$pid/task/*/status; do
        while read -r key value; do
            [[ "$key" == *ctxt_switches: ]] && total=$((total + value))
        done <"$status"
    done
    echo "$total"
}
threads() { ls /proc/$pid/task | wc -l; }
before=$(switches)
sleep "$seconds"
after=$(switches)
python3 -c "import sys; n, s, t = map(int, sys.argv[1:4]); print(f'idle: {n} wake-ups in {s} s, {n / s:.1f} a second, {t} threads')" \
    "$((after - before))" "$seconds" "$(threads)"
