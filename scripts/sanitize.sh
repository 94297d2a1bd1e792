#!/usr/bin/env bash
# The whole test suite once more, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of its own (build-asan, or
# $TRISK_ASAN_BUILD_DIR). Any memory error or undefined behaviour fails it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TRISK_ASAN_BUILD_DIR:-$root/build-asan}"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRISK_SANITIZE=ON \
    -DTRISK_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"${TRISK_JOBS:-2}"
cd "$build"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Leaks inside the system's own libraries (fontconfig, the X and GL stacks)
# are not ours to fix.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"${TRISK_JOBS:-2}"
