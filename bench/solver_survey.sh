#!/usr/bin/env bash
# The solver's benchmark: trisk-tool survey over deals FROM to TO of every
# kind (or of the kinds given), with the limits a player's hint would get
# (10 s and 256 MB a deal), one job so that times are those of one core.
# Writes one CSV per kind into OUT, a line per deal as soon as it is
# decided (number,verdict,actions,positions,milliseconds,peak_kb,method),
# and prints each kind's summary line: how many deals are winnable, not
# winnable and undetermined, the median and 95th-percentile time and the
# largest peak memory.
#
# Usage: bench/solver_survey.sh [FROM] [TO] [OUT] [KIND...]
#   defaults: 1 100 ./solver-survey 0 1 2 3 (the tool: $TRISK_TOOL, or
#   bin/trisk-tool of $TRISK_BUILD_DIR or build/; more threads with
#   TRISK_SURVEY_JOBS, which makes each deal's time less comparable)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TRISK_BUILD_DIR:-$root/build}"
from="${1:-1}"
to="${2:-100}"
out="${3:-solver-survey}"
shift $(($# < 3 ? $# : 3))
kinds=("$@")
((${#kinds[@]})) || kinds=(0 1 2 3)
tool="${TRISK_TOOL:-$build/bin/trisk-tool}"
[[ -x "$tool" ]] || { echo "solver_survey.sh: $tool is not built" >&2; exit 1; }
mkdir -p "$out"
for kind in "${kinds[@]}"; do
    csv="$out/kind$kind-$from-$to.csv"
    "$tool" survey --kind "$kind" --from "$from" --to "$to" --jobs "${TRISK_SURVEY_JOBS:-1}" \
        --time-limit 10 --max-memory 256 >"$csv"
    tail -n 1 "$csv"
done
