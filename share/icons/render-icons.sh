#!/usr/bin/env bash
# Renders the PNG icons from the scalable one. Run by hand after editing the SVG and commit the PNGs:
# the build only copies them, so it needs no SVG renderer.
set -euo pipefail
command -v rsvg-convert >/dev/null || { echo "render-icons.sh: needs rsvg-convert (apt-get install librsvg2-bin)" >&2; exit 1; }
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
svg=$here/hicolor/scalable/apps/lumetra.svg
for size in 16 32 48 64 128 256; do
    mkdir -p "$here/hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$here/hicolor/${size}x${size}/apps/lumetra.png"
done
