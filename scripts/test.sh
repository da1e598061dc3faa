#!/usr/bin/env bash
# Installs what is missing, builds Pelmora with its tests and runs them all.
# Usage: scripts/test.sh [--sanitize | --windows]
#   --sanitize: AddressSanitizer + UBSan, in build-sanitize/
#   --windows:  the Windows build (MinGW-w64) in build-windows/, its tests run under Wine with
#               code page 936 and a virtual display
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
[ "${1:-}" = "--sanitize" ] && preset=sanitize
[ "${1:-}" = "--windows" ] && preset=windows

if [ "$preset" = windows ]; then
    scripts/install-deps.sh windows
    . scripts/wine-env.sh
    windows_locales
    cmake --preset windows >/dev/null
    cmake --build --preset windows
    wine_start build-windows
    trap wine_stop EXIT
    ctest --preset windows
    exit 0
fi

scripts/install-deps.sh test
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
