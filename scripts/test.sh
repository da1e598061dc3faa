#!/usr/bin/env bash
# Installs what is missing, builds Pelmora with its tests and runs them all.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan, in build-sanitize/)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
cmake_options=()
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=build-sanitize
    cmake_options+=(-DPELMORA_SANITIZE=ON)
fi

scripts/install-deps.sh test
cmake -S . -B "$build_dir" -DPELMORA_BUILD_TESTS=ON "${cmake_options[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
