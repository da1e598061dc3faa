#!/usr/bin/env bash
# Takes docs/screenshot.png: the Pelmora window under Xvfb with some Chinese typed and
# converted through the tables beside the built program.
#
# Usage: scripts/screenshot.sh [build directory] [output png]
# Needs: xvfb (xvfb-run), xauth, xdotool, imagemagick (import); installs what is missing.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
output=${2:-$top/docs/screenshot.png}
typed=${PELMORA_SCREENSHOT_TEXT:-刘德华在广东发展，龙之谷！}
program=$build/bin/pelmora

missing=()
for package in xvfb xauth xdotool imagemagick fonts-noto-cjk; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
[ -x "$program" ] || { echo "screenshot.sh: build $program first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -f "$build/bin/pin.dat" ] || { echo "screenshot.sh: no tables beside $program" >&2; exit 1; }

# Runs inside the virtual display: start the window, type, convert, take the picture.
cat >"$work/inside.sh" <<'INSIDE'
set -euo pipefail
program=$1 typed=$2 output=$3
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
window=$(xdotool search --sync --onlyvisible --name '^PelmoraV')
sleep 2
# On a busy machine the first keys can arrive before the window takes typing: a throwaway key
# and its erasure go first, so the text itself is typed into a ready box.
xdotool type --delay 50 "x"
xdotool key BackSpace
sleep 0.5
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
