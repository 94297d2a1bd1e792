#!/usr/bin/env bash
# Sums up the CSVs of bench/solver_survey.sh in one folder: a Markdown row per
# kind (deals covered, winnable, not winnable, undetermined, median and
# 95th-percentile time), a check that no Classical "winnable" meets a
# Simplified "not winnable" on the same deal (exit status 1 if one does),
# and with --winnable FILE the list of deals proved winnable, one
# "kind number" line each, as the program installs it: those of DIR and of
# every further folder named (surveys of other solvers; a winning line is
# checked move by move, whichever solver found it), and for Simplified every
# deal whose Classical game was won (the Simplified rules only add moves).
#
# Usage: bench/survey_summary.sh DIR [--winnable FILE [DIR...]]
set -euo pipefail
dir="${1:?usage: survey_summary.sh DIR [--winnable FILE [DIR...]]}"
list=""
more=()
if [[ "${2:-}" == "--winnable" ]]; then
    list="${3:?--winnable needs a file}"
    more=("${@:4}")
fi
names=(Simplified Classical Complicated Diamond)
lines() { # the deal lines of one kind in folder $2 (or DIR), in deal order, each deal once
    cat "${2:-$dir}"/kind"$1"-*.csv 2>/dev/null | grep -v '^#' | sort -t, -k1,1n -u || true
}
for kind in 0 1 2 3; do
    rows="$(lines "$kind")"
    [[ -n "$rows" ]] || continue
    times="$(cut -d, -f5 <<<"$rows" | sort -n)"
    n="$(wc -l <<<"$times")"
    median="$(sed -n "$(((n + 1) / 2))p" <<<"$times")"
    p95="$(sed -n "$(((n * 95 + 99) / 100))p" <<<"$times")"
    count() { cut -d, -f2 <<<"$rows" | grep -cx "$1" || true; }
    printf '| %d %s | %d-%d (%d) | %d | %d | %d | %d ms | %d ms |\n' "$kind" "${names[$kind]}" \
        "$(head -n 1 <<<"$rows" | cut -d, -f1)" "$(tail -n 1 <<<"$rows" | cut -d, -f1)" "$n" \
        "$(count winnable)" "$(count 'not winnable')" "$(count undetermined)" "$median" "$p95"
done
# Simplified allows every Classical move: the two verdicts must agree.
bad="$(join -t, <(lines 1 | awk -F, '$2 == "winnable" {print $1}' | sort) \
               <(lines 0 | awk -F, '$2 == "not winnable" {print $1}' | sort) || true)"
if [[ -n "$bad" ]]; then
    echo "survey_summary.sh: Classical winnable but Simplified not winnable: $bad" >&2
    exit 1
fi
if [[ -n "$list" ]]; then
    {
        echo "# Deals of Solitaire Trisk that trisk-tool's solver has proved winnable:"
        echo "# one \"kind number\" line each (kind 0 Simplified, 1 Classical,"
        echo "# 2 Complicated, 3 Diamond). Made by bench/survey_summary.sh from the survey"
        echo "# in $(basename "$dir")$(for d in "${more[@]}"; do printf ' and %s' "$(basename "$d")"; done);"
        echo "# a deal missing here may still be winnable. A Classical line wins the"
        echo "# Simplified game of the same deal too."
        winners() { # the deals of kind $1 won in any of the folders
            for d in "$dir" "${more[@]}"; do
                lines "$1" "$d" | awk -F, '$2 == "winnable" {print $1}'
            done
        }
        for kind in 0 1 2 3; do
            { winners "$kind"; ((kind != 0)) || winners 1; } | sort -n -u |
                awk -v kind="$kind" '{print kind, $1}'
        done
    } >"$list"
fi
