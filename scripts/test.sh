#!/usr/bin/env bash
# Installs what is missing, builds Pelmora with its tests and runs them all.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan, in build-sanitize/)
set -euo pipefail
cd "$(dirname "$0")/.."

preset=default
[ "${1:-}" = "--sanitize" ] && preset=sanitize

scripts/install-deps.sh test
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
