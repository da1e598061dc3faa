#!/usr/bin/env bash
# Installs what is missing, builds Pelmora and starts its window. Without a display it says so
# and converts a sample text with pelmora-convert instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build -DPELMORA_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/pelmora ]; then
    exec build/bin/pelmora
fi

echo "No display found, so the window cannot open here. Converting docs/sample.txt with"
echo "pelmora-convert instead:"
echo
echo "--- input"
cat docs/sample.txt
echo "--- Japanese code text (copy this into the game)"
build/bin/pelmora-convert docs/sample.txt
echo
echo "--- preview"
build/bin/pelmora-convert --preview docs/sample.txt
echo
