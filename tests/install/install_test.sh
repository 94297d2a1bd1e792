#!/usr/bin/env bash
# cmake --install into a temporary prefix, then: the layout, the desktop's
# validators on the installed desktop entry, AppStream metadata and manual
# pages, and the installed program started through its link in bin/ with
# HOME and every XDG variable in the temporary folder.
#
# Usage: install_test.sh CMAKE BUILD_DIR
set -euo pipefail
cmake="$1"
build="$2"
id=io.github.solitaire_trisk.SolitaireTrisk

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix="$tmp/prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for file in lib/solitaire-trisk/solitaire-trisk lib/solitaire-trisk/cardset.dll \
    lib/solitaire-trisk/Help.chm lib/solitaire-trisk/trisk-help bin/trisk-tool \
    "share/applications/$id.desktop" "share/mime/packages/$id.xml" \
    "share/metainfo/$id.metainfo.xml" "share/icons/hicolor/48x48/apps/$id.png" \
    "share/icons/hicolor/scalable/apps/$id.svg" share/man/man6/solitaire-trisk.6.gz \
    share/man/man6/trisk-tool.6.gz; do
    [[ -f "$prefix/$file" ]] || fail "$file is not installed"
done
program="$(readlink -f "$prefix/lib/solitaire-trisk/solitaire-trisk")"
[[ -L "$prefix/bin/solitaire-trisk" ]] || fail "bin/solitaire-trisk is not a link"
[[ "$(readlink -f "$prefix/bin/solitaire-trisk")" == "$program" ]] ||
    fail "bin/solitaire-trisk does not lead to the program"
file "$prefix/share/icons/hicolor/48x48/apps/$id.png" | grep -q "PNG image data, 48 x 48" ||
    fail "the hicolor icon is not a 48 x 48 PNG"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$tmp/appstream.txt" ||
    { cat "$tmp/appstream.txt" >&2; fail "appstreamcli validate"; }
for page in solitaire-trisk trisk-tool; do
    warnings="$(zcat "$prefix/share/man/man6/$page.6.gz" | groff -man -ww -z -Tutf8 2>&1)"
    [[ -z "$warnings" ]] || fail "manual page $page: $warnings"
done
"$prefix/bin/trisk-tool" --help | grep -q "trisk-tool deal" || fail "trisk-tool does not run"

# The program from the prefix, through the link and from another folder: it
# must find cardset.dll beside its real path (else it would stop at its
# message until the timeout) and write the association for that path.
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config"
export XDG_DATA_DIRS="$tmp/machine-data" XDG_CONFIG_DIRS="$tmp/machine-config"
export XDG_CACHE_HOME="$tmp/cache" XDG_RUNTIME_DIR="$tmp/runtime" TMPDIR="$tmp"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset XDG_CURRENT_DESKTOP
cd "$HOME"
QT_QPA_PLATFORM=offscreen TRISK_EXIT_AFTER_FIRST_PAINT=1 timeout 60 \
    "$prefix/bin/solitaire-trisk" || fail "the installed program did not start and end (status $?)"
entry="$XDG_DATA_DIRS/applications/$id.desktop"
grep -qxF "Exec=$program %f" "$entry" || fail "the association does not name $program"
echo "x" >"$tmp/game.kxr"
[[ "$(xdg-mime query filetype "$tmp/game.kxr")" == application/x-solitaire-trisk ]] ||
    fail "xdg-mime does not know .kxr"
[[ "$(xdg-mime query default application/x-solitaire-trisk)" == "$id.desktop" ]] ||
    fail "xdg-mime does not name the game for .kxr"
# The installed help viewer shows the installed help file: it stays up (until
# the timeout ends it) and reports no trouble with its file.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/lib/solitaire-trisk/trisk-help" 2>"$tmp/help.txt" ||
    status=$?
[[ $status -eq 124 ]] && ! grep -q "^trisk-help:" "$tmp/help.txt" ||
    fail "the installed help viewer ended with status $status: $(cat "$tmp/help.txt")"
echo "installed, validated and started from $prefix"
