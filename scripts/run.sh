#!/usr/bin/env bash
# Set-up, build, then start the program.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${TRISK_BUILD_DIR:-$root/build}"
if [[ -x "$build/bin/solitaire-trisk" ]]; then
    exec "$build/bin/solitaire-trisk" "$@"
fi
# Until the window is built, show what the game deals.
exec "$build/bin/trisk-tool" deal --kind 1 --number "${1:-1}"
