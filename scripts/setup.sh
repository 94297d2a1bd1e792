#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Idempotent: packages already installed are not touched, so a second run
# only checks. Works as root and through sudo.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    # tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev clang-format
    # the window, card images, sound
    qt6-base-dev qt6-base-private-dev qt6-svg-dev qt6-multimedia-dev libqt6svg6
    # "cardset.dll" is a real resource-only PE file, and its faces come from
    # freely licensed SVG decks
    binutils-mingw-w64-x86-64 kdegames-card-data-kf5
    # the captions on the pile markers that the card-set generator draws
    fonts-dejavu-core
    # the libFuzzer target of the card-set library reader (-DTRISK_FUZZ=ON)
    clang
    # toolbar pictures (public domain) and Wine's Tahoma-compatible window font
    tango-icon-theme fonts-wine
    # Times New Roman's metric-compatible stand-in for the About dialog's name
    fonts-liberation
    # GUI tests and screenshots on a machine without a display
    xvfb xauth
    # "Help.chm" is compiled with chmcmd; the help viewer reads it with CHMLib
    fp-utils libchm-dev
    # the ".kxr" association, read back by the desktop's own tools, and the
    # validators of the installed desktop entry, AppStream metadata and
    # manual pages
    shared-mime-info xdg-utils libfile-mimeinfo-perl libglib2.0-bin
    desktop-file-utils appstream groff-base file
    # the Debian package (cpack -G DEB computes its dependencies with
    # dpkg-shlibdeps)
    dpkg-dev
    # the tray test: a real notification area and a window manager under Xvfb
    trayer openbox xdotool x11-utils
    # the screen-reader test: a private D-Bus session, the AT-SPI registry and
    # Debian's Python bindings reading it
    dbus at-spi2-core python3-pyatspi
    # the window on a headless Wayland compositor
    qt6-wayland weston
)

missing=()
for package in "${packages[@]}"; do
    [[ "$package" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
run_as_root=()
if ((EUID != 0)); then
    if command -v sudo >/dev/null 2>&1; then
        run_as_root=(sudo)
    else
        echo "setup.sh: need root or sudo to install ${missing[*]}" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
"${run_as_root[@]}" apt-get update -qq
"${run_as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
