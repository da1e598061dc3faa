#!/usr/bin/env bash
# Writes the PNG copies of the hand-drawn XPM icons that the desktop's icon theme installs
# (window/icons/pelmora_16.png, pelmora_32.png). Run it after editing an XPM.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v convert >/dev/null || { echo "needs ImageMagick (package imagemagick)" >&2; exit 1; }
for size in 16 32; do
    convert "window/icons/pelmora_${size}.xpm" -strip "PNG8:window/icons/pelmora_${size}.png"
done
