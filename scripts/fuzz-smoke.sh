#!/usr/bin/env bash
# Builds every libFuzzer target with clang (build-fuzz, or $TRISK_FUZZ_BUILD_DIR)
# and runs each for a short while ($TRISK_FUZZ_SECONDS, 60 by default) on a
# copy of its seeds in fuzz/seeds/<target>/. A crash, a leak or a timeout fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TRISK_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${TRISK_FUZZ_SECONDS:-60}"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTRISK_FUZZ=ON -DTRISK_BUILD_TESTS=OFF \
    -DTRISK_BUILD_BENCHMARKS=OFF >/dev/null
mapfile -t targets < <(sed -n 's/^[[:space:]]*trisk_fuzzer(\([a-z_]*_fuzzer\).*/\1/p' "$root/fuzz/CMakeLists.txt")
cmake --build "$build" -j"${TRISK_JOBS:-2}" --target "${targets[@]}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp}"
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
    name="${target%_fuzzer}"
    corpus="$build/smoke-corpus/$name"
    rm -rf "$corpus" && mkdir -p "$corpus"
    [[ -d "$root/fuzz/seeds/$name" ]] && cp -r "$root/fuzz/seeds/$name/." "$corpus/"
    echo "== $target: ${seconds}s"
    (cd "$build" && "$build/bin/$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12)
done
echo "fuzz smoke runs: ${#targets[@]} targets, no crash"
