#!/usr/bin/env bash
# Writes the Windows icon window/win32/pelmora.ico from the same hand-drawn XPM icons the Linux
# desktop shows: a 32x32 and a 16x16 image, 4 bits per pixel (16 colours), with the XPM's
# transparent pixels in the icon's mask. Run it after editing an XPM; the output is byte for byte
# the same on every run, so the committed file can be checked against it.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v convert >/dev/null || { echo "needs ImageMagick (package imagemagick)" >&2; exit 1; }
# With at most 16 colours ImageMagick writes 4-bit images; the quantisation keeps the XPM's
# colours exactly, since each image uses fewer than 16 of them.
convert window/icons/pelmora_32.xpm window/icons/pelmora_16.xpm -colors 16 \
    window/win32/pelmora.ico
