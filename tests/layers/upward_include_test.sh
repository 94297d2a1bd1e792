#!/usr/bin/env bash
# The layer check must object to an include that runs up, and to nothing else.
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{engine,history,solver,shell}
printf '#include "engine/card.h"\n' >"$tree/history/game.h"
printf '#include "engine/rules.h"\n#include <vector>\n' >"$tree/solver/solver.h"
printf '#include "solver/solver.h"\n#include "history/game.h"\n' >"$tree/shell/hint.h"
bash "$check" "$tree" >/dev/null || { echo "a tree whose includes point down was refused"; exit 1; }
printf '#include "history/game.h"\n' >"$tree/solver/search.cpp"
if out=$(bash "$check" "$tree"); then
    echo "solver/ including history/ passed the check"
    exit 1
fi
grep -q 'solver/search.cpp:1 includes history/' <<<"$out" || { echo "unexpected report: $out"; exit 1; }
