#!/usr/bin/env bash
# Takes docs/screenshot.png: the Pelmora window under Xvfb with some Chinese typed and
# converted. Uses the tables beside the built program when it has them; otherwise it runs a
# copy of the program beside a few demonstration tables written here.
#
# Usage: scripts/screenshot.sh [build directory] [output png]
# Needs: xvfb (xvfb-run), xdotool, imagemagick (import), iconv, xxd.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
output=${2:-$top/docs/screenshot.png}
typed=${PELMORA_SCREENSHOT_TEXT:-东京的学生，爱中国！}
program=$build/bin/pelmora

for tool in xvfb-run xdotool import iconv xxd; do
    command -v "$tool" >/dev/null || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done
[ -x "$program" ] || { echo "screenshot.sh: build $program first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Hex of the code page bytes of one character.
hex_of() { printf '%s' "$1" | iconv -t "$2" | xxd -p; }

# Demonstration tables: each Chinese character with its Japanese kanji, the key table sorted by
# code (every key is double-byte, so the hex order is the order of the signed codes).
write_demo_tables() {
    local dir=$1 pair rows=()
    for pair in 东東 京京 发発 展展 中中 国国 爱愛 学学 生生; do
        rows+=("$(hex_of "${pair:0:1}" GBK) $(hex_of "${pair:1:1}" SHIFT_JIS) $(hex_of "${pair:1:1}" GBK)")
    done
    printf '%s\n' "${rows[@]}" | sort >"$dir/rows"
    cut -d' ' -f1 "$dir/rows" | xxd -r -p >"$dir/pin.dat"
    cut -d' ' -f2 "$dir/rows" | xxd -r -p >"$dir/pj.dat"
    cut -d' ' -f3 "$dir/rows" | xxd -r -p >"$dir/jj.dat"
}

if [ ! -f "$build/bin/pin.dat" ]; then
    echo "screenshot.sh: no tables beside $program; using demonstration tables" >&2
    cp "$program" "$work/pelmora"
    write_demo_tables "$work"
    program=$work/pelmora
fi

# Runs inside the virtual display: start the window, type, convert, take the picture.
cat >"$work/inside.sh" <<'INSIDE'
set -euo pipefail
program=$1 typed=$2 output=$3
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(xdotool search --sync --onlyvisible --name '^PelmoraV')
sleep 1
# The input box is focused at start; the Convert button sits at (240, 104) sized 81 x 41.
xdotool type --delay 50 "$typed"
xdotool mousemove --window "$window" 280 124 click 1
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
INSIDE

mkdir -p "$(dirname "$output")"
xvfb-run -a -s '-screen 0 800x600x24' bash "$work/inside.sh" "$program" "$typed" "$output"
echo "screenshot.sh: wrote $output"
