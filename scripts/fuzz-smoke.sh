#!/usr/bin/env bash
# Runs every libFuzzer target for a short while ($TRISK_FUZZ_SECONDS, 60 by
# default) on a copy of its seeds in fuzz/seeds/<target>/, two at a time. A
# crash, a leak or a timeout fails. The targets come from a build folder
# configured with -DTRISK_FUZZ=ON: $TRISK_FUZZ_BUILD_DIR when it is one (CI
# uses the sanitizer build), otherwise build-fuzz, configured here.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TRISK_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${TRISK_FUZZ_SECONDS:-60}"
"$root/scripts/setup.sh"
if ! grep -q '^TRISK_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DTRISK_FUZZ=ON \
        -DTRISK_BUILD_TESTS=OFF -DTRISK_BUILD_BENCHMARKS=OFF >/dev/null
fi
mapfile -t targets < <(sed -n 's/^[[:space:]]*trisk_fuzzer(\([a-z_]*_fuzzer\).*/\1/p' "$root/fuzz/CMakeLists.txt")
cmake --build "$build" -j"${TRISK_JOBS:-2}" --target "${targets[@]}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp}"
export QT_QPA_PLATFORM=offscreen
logs="$build/smoke-logs"
rm -rf "$logs" && mkdir -p "$logs"

run() {
    local target="$1" name="${1%_fuzzer}"
    local corpus="$build/smoke-corpus/$name"
    rm -rf "$corpus" && mkdir -p "$corpus"
    [[ -d "$root/fuzz/seeds/$name" ]] && cp -r "$root/fuzz/seeds/$name/." "$corpus/"
    (cd "$build" && "$build/bin/$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$corpus" >"$logs/$name.log" 2>&1)
}

# Two at a time, one for each core; every log is shown, a failure after all ran.
failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    for target in "${targets[@]:i:2}"; do
        echo "== $target: ${seconds}s"
        run "$target" &
        pids+=($!)
    done
    for ((k = 0; k < ${#pids[@]}; ++k)); do
        target="${targets[i + k]}"
        if ! wait "${pids[k]}"; then
            echo "!! $target failed" >&2
            failed=1
        fi
        tail -n 12 "$logs/${target%_fuzzer}.log"
    done
done
((failed == 0)) || exit 1
echo "fuzz smoke runs: ${#targets[@]} targets, no crash"
