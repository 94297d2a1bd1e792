#!/usr/bin/env bash
# Start-up time of solitaire-trisk, from process start to the first painted
# table, against a minimal Qt 6 main window built in the same tree. Both end
# after their first paint (TRISK_EXIT_AFTER_FIRST_PAINT=1). Prints the median
# and the mean of each and the ratio of the medians (the median shrugs off the
# odd slow run on a busy machine); the target is a ratio of at most 1.2.
# Then the peak memory of each up to its first paint, the median of five runs
# (target: at most 10 MB above the minimal window).
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
# A home of its own: the game reads its settings from there and nothing of
# the machine's own is read or written.
sandbox="$(mktemp -d)"
trap 'rm -rf "$results" "$sandbox"' EXIT
export HOME="$sandbox" XDG_CONFIG_HOME="$sandbox/config" XDG_DATA_HOME="$sandbox/data"
export XDG_CONFIG_DIRS="$sandbox/etc-xdg" XDG_DATA_DIRS="$sandbox/share"

if command -v hyperfine >/dev/null 2>&1; then
    hyperfine --style basic -N --warmup 3 --runs "$runs" --export-json "$results" \
        -n solitaire-trisk "$game" -n minimal_window "$minimal" >&2
    read -r game_ms minimal_ms game_mean minimal_mean < <(python3 -c '
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
g, m = r["solitaire-trisk"], r["minimal_window"]
print(g["median"] * 1000, m["median"] * 1000, g["mean"] * 1000, m["mean"] * 1000)' "$results")
else
    # A plain loop, the two programs taking turns: the median and the mean
    # wall time of each.
    times() {
        local start end
        start=$(date +%s%N)
        "$1" >/dev/null 2>&1 || true
        end=$(date +%s%N)
        echo $(((end - start) / 1000))
    }
    game_runs=() minimal_runs=()
    for ((i = 0; i < runs; ++i)); do
        game_runs+=("$(times "$game")")
        minimal_runs+=("$(times "$minimal")")
    done
    read -r game_ms minimal_ms game_mean minimal_mean < <(python3 -c '
import statistics, sys
g = [int(x) / 1000 for x in sys.argv[1].split()]
m = [int(x) / 1000 for x in sys.argv[2].split()]
print(statistics.median(g), statistics.median(m), statistics.mean(g), statistics.mean(m))' \
        "${game_runs[*]}" "${minimal_runs[*]}")
fi

# Peak memory (resident set) of each up to its first paint, the median of
# five runs.
read -r game_kb minimal_kb < <(python3 - "$game" "$minimal" <<'PY'
import resource, statistics, subprocess, sys
def peak(program):
    # A child's peak is reported by wait4 for that child alone.
    process = subprocess.Popen([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = __import__("os").wait4(process.pid, 0)
    return usage.ru_maxrss
print(*(statistics.median(peak(p) for _ in range(5)) for p in sys.argv[1:3]))
PY
)

python3 - "$game_ms" "$minimal_ms" "$game_mean" "$minimal_mean" "$game_kb" "$minimal_kb" <<'PY'
import sys
game, minimal, game_mean, minimal_mean, game_kb, minimal_kb = map(float, sys.argv[1:7])
print(f"solitaire-trisk: median {game:.1f} ms, mean {game_mean:.1f} ms to the first painted table")
print(f"minimal window:  median {minimal:.1f} ms, mean {minimal_mean:.1f} ms to the first paint")
print(f"ratio of the medians: {game / minimal:.2f} (target <= 1.2)")
print(f"peak memory: solitaire-trisk {game_kb / 1024:.1f} MB, minimal window {minimal_kb / 1024:.1f} MB, "
      f"{(game_kb - minimal_kb) / 1024:.1f} MB above (target <= 10)")
PY
