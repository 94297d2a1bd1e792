#!/usr/bin/env bash
# Checks that every project include points down the layers:
#   engine <- history <- table <- shell, the solver on the engine alone,
#   menus and help on their own, tools beside the shell.
# Usage: check_layers.sh [ROOT]. Prints each include that runs up and exits 1
# when there is one; prints nothing and exits 0 otherwise.
set -u
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$root" || exit 2

# folder: the project folders its sources may include
declare -A allowed=(
    [engine]="engine"
    [solver]="engine solver"
    [history]="engine history"
    [table]="engine history table"
    [menus]="menus"
    [help]="help"
    [shell]="engine history table menus help solver shell"
    [tools]="engine history table solver tools"
    [cardset]="engine history table cardset"
)

bad=0
for folder in "${!allowed[@]}"; do
    [ -d "$folder" ] || continue
    while IFS=: read -r file line text; do
        target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\)\/.*/\1/p' <<<"$text")
        [ -n "$target" ] && [ -d "$target" ] || continue
        case " ${allowed[$folder]} " in
            *" $target "*) ;;
            *)
                echo "$file:$line includes $target/ (a $folder/ file may include only: ${allowed[$folder]})"
                bad=1
                ;;
        esac
    done < <(grep -rn --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' \
        '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" 2>/dev/null)
done
exit $bad
