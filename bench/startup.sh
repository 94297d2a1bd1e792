#!/usr/bin/env bash
# Start-up time of solitaire-trisk, from process start to the first painted
# table, against a minimal Qt 6 main window built in the same tree. Both end
# after their first paint (TRISK_EXIT_AFTER_FIRST_PAINT=1). Prints the mean
# of each and their ratio; the target is a ratio of at most 1.2.
#
# Usage: bench/startup.sh [RUNS]   (build folder: $TRISK_BUILD_DIR or build/)
# Without a display it runs itself under xvfb-run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TRISK_BUILD_DIR:-$root/build}"
runs="${1:-20}"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${TRISK_BENCH_UNDER_XVFB:-}" ]]; then
    export TRISK_BENCH_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

game="$build/bin/solitaire-trisk"
minimal="$build/bin/minimal_window"
for program in "$game" "$minimal"; do
    [[ -x "$program" ]] || { echo "startup.sh: $program is not built" >&2; exit 1; }
done

export TRISK_EXIT_AFTER_FIRST_PAINT=1
results="$(mktemp)"
trap 'rm -f "$results"' EXIT

if command -v hyperfine >/dev/null 2>&1; then
    hyperfine --style basic --warmup 3 --runs "$runs" --export-json "$results" \
        -n solitaire-trisk "$game" -n minimal_window "$minimal" >&2
    read -r game_ms minimal_ms < <(python3 -c '
import json, sys
r = {x["command"]: x["mean"] * 1000 for x in json.load(open(sys.argv[1]))["results"]}
print(r["solitaire-trisk"], r["minimal_window"])' "$results")
else
    # A plain loop: the mean wall time of each program over the runs.
    mean_ms() {
        local start end
        "$1" >/dev/null 2>&1 || true
        start=$(date +%s%N)
        for ((i = 0; i < runs; ++i)); do "$1" >/dev/null 2>&1; done
        end=$(date +%s%N)
        echo $(((end - start) / runs / 1000))e-3
    }
    game_ms=$(mean_ms "$game")
    minimal_ms=$(mean_ms "$minimal")
fi

python3 - "$game_ms" "$minimal_ms" <<'PY'
import sys
game, minimal = float(sys.argv[1]), float(sys.argv[2])
print(f"solitaire-trisk: {game:.1f} ms to the first painted table")
print(f"minimal window:  {minimal:.1f} ms to the first paint")
print(f"ratio:           {game / minimal:.2f} (target <= 1.2)")
PY
