#!/usr/bin/env bash
# The whole test suite once more, built with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of its own (build-asan, or
# $TRISK_ASAN_BUILD_DIR). Any memory error or undefined behaviour fails it.
# The same folder also builds the libFuzzer targets (their libraries are the
# ones the tests use, instrumented once for both), so scripts/fuzz-smoke.sh
# can run them from here without building everything again.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TRISK_ASAN_BUILD_DIR:-$root/build-asan}"
"$root/scripts/setup.sh"
# A folder left by an older gcc sanitizer build is started afresh.
if [[ -f "$build/CMakeCache.txt" ]] && ! grep -q '^TRISK_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
    rm -rf "$build"
fi
# -O1: the usual level for sanitizer builds, several times faster to run than
# -O0 and still exact in its reports.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DCMAKE_CXX_COMPILER=clang++ -DTRISK_SANITIZE=ON -DTRISK_FUZZ=ON \
    -DTRISK_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"${TRISK_JOBS:-2}"
cd "$build"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Leaks inside the system's own libraries (fontconfig, the X and GL stacks)
# are not ours to fix.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"${TRISK_JOBS:-2}"
