#!/usr/bin/env bash
# Times pelmora-convert, per character and with --words, against the OpenCC pipeline and iconv
# on the same generated text.
# Usage: bench/compare_cli.sh [BUILD_DIR] [CHARACTERS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
count=${2:-1000000}
runs=5

need=()
command -v opencc >/dev/null || need+=(opencc)
command -v iconv >/dev/null || need+=(libc-bin)
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
    sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
    $sudo_cmd apt-get install -y "${need[@]}" >/dev/null
fi

cmake -S . -B "$build" -DPELMORA_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target pelmora-convert pelmora-make-mixed-text pelmora_tables >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/pelmora-make-mixed-text" "$count" >"$work/input.txt"
size=$(stat -c %s "$work/input.txt")
echo "input: $count characters, $size bytes of UTF-8"

# Best wall time of $runs runs, in milliseconds, and the peak memory of the last run in KiB.
measure() {
    local name=$1; shift
    local best=""
    for _ in $(seq $runs); do
        local start end ms
        start=$(date +%s%N)
        bash -c "$*" <"$work/input.txt" >/dev/null
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000000 ))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    local peak
    peak=$( { /usr/bin/time -f %M bash -c "$*" <"$work/input.txt" >/dev/null; } 2>&1 | tail -n 1)
    printf '%-24s %8s ms   peak %8s KiB\n' "$name" "$best" "$peak"
    last=$best
    last_peak=$peak
}

measure pelmora-convert "'$build/bin/pelmora-convert'"; pelmora=$last; pelmora_peak=$last_peak
measure "pelmora-convert --words" "'$build/bin/pelmora-convert' --words"
words=$last; words_peak=$last_peak
measure opencc "opencc -c s2t.json | opencc -c t2jp.json"; opencc=$last
measure iconv "iconv -f UTF-8 -t GBK"; iconv=$last
(( pelmora > 0 )) || pelmora=1
(( words > 0 )) || words=1
(( iconv > 0 )) || iconv=1
ratio() { awk "BEGIN { printf \"%.1f\", $1 / $2 }"; }
echo "opencc / pelmora-convert:         $(ratio "$opencc" "$pelmora")x"
echo "opencc / pelmora-convert --words: $(ratio "$opencc" "$words")x"
echo "pelmora-convert / iconv:          $(ratio "$pelmora" "$iconv")x"
echo "peak memory, --words / per character: $(ratio "$words_peak" "$pelmora_peak")x"
