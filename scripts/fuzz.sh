#!/usr/bin/env bash
# Builds pelmora_conversion_fuzzer (clang, libFuzzer, ASan + UBSan) in build-fuzz/ and runs it
# for SECONDS (default 30), starting from the seed corpus in tests/fuzz/corpus. New inputs go
# to build-fuzz/corpus; an input that breaks a rule is saved in build-fuzz/artifacts/ and the
# script exits non-zero.
set -euo pipefail

seconds="${1:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

cd "$root"
scripts/install-deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p "$build/corpus" "$build/artifacts"
"$build/bin/pelmora_conversion_fuzzer" \
    -max_total_time="$seconds" \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" \
    "$build/corpus" "$root/tests/fuzz/corpus"
