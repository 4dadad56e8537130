#!/usr/bin/env bash
# Renders the tab pictures (src/ui/icons/*.svg) to the PNGs beside them, which the window uses
# where Qt has no SVG support (the Windows build). Run it after changing a picture; it needs
# qt6-base-dev and libqt6svg6.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -fPIC -O1 -o "$work/render-icons" "$root/tools/render-icons.cpp" \
    $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/render-icons" "$root/src/ui/icons" 32 64 -- "$root"/src/ui/icons/*.svg
