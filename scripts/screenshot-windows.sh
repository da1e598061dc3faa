#!/usr/bin/env bash
# Takes docs/screenshot-windows.png: the Win32 window pelmora.exe under Wine on Xvfb, with some
# Chinese typed and converted through the tables beside the built program.
#
# Usage: scripts/screenshot-windows.sh [build directory] [output png]
# The build directory is a Windows build (the windows preset: build-windows). Needs wine, xvfb
# (Xvfb), xdotool, imagemagick (import), the Noto CJK fonts and Wine's own fonts; installs what
# is missing. The Wine prefix is a throwaway one, made and removed here.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-windows}
output=${2:-$top/docs/screenshot-windows.png}
typed=${PELMORA_SCREENSHOT_TEXT:-刘德华在广东发展，龙之谷！}
program=$build/bin/pelmora.exe

missing=()
for package in wine wine64 fonts-wine xvfb xdotool imagemagick fonts-noto-cjk; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
[ -f "$program" ] || { echo "screenshot-windows.sh: build $program first" >&2; exit 1; }
[ -f "$build/bin/pin.dat" ] || { echo "screenshot-windows.sh: no tables beside $program" >&2; exit 1; }
locale -a | grep -qi '^zh_CN.utf8$' ||
    { echo "screenshot-windows.sh: needs the zh_CN.UTF-8 locale (code page 936)" >&2; exit 1; }

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' LANG=zh_CN.UTF-8

# A free display number, served by an Xvfb of our own.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pelmora=
cleanup() {
    [ -n "$pelmora" ] && kill "$pelmora" 2>/dev/null
    wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=:$display

wineboot -i >/dev/null 2>&1
# Without a window manager Wine draws the frame itself (and does not wait for one on each
# window it hides). 宋体 and SimSun, which Chinese Windows always has, are a Song-style font.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Wine draws the title bar's buttons with its Marlett font, which it does not find by itself.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
for face in SimSun 宋体; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v "$face" /d 'Noto Serif CJK SC' /f >/dev/null 2>&1
done
wineserver -w

wine "$program" >/dev/null 2>&1 &
pelmora=$!
window=$(xdotool search --sync --onlyvisible --name '^PelmoraV' | head -1)
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
# Wine draws the frame itself: the client area sits inside a 3-pixel border, below the title.
left=3
top=$((HEIGHT - 420 - 3))
mkdir -p "$(dirname "$output")"
# On a busy machine keys can arrive before the box takes typing and get lost, so the picture is
# taken again until the Japanese code box (client 336,40 sized 265x161) shows text.
for attempt in 1 2 3; do
    # Into the input box (client 8,40 sized 217x161), emptied; a throwaway key goes first.
    xdotool mousemove --window "$window" $((left + 100)) $((top + 100)) click 1
    xdotool key ctrl+a BackSpace
    xdotool type --delay 50 "x"
    xdotool key BackSpace
    sleep 0.5
    xdotool type --delay 120 "$typed"
    # The Convert button: client 240,104 sized 81x41.
    xdotool mousemove --window "$window" $((left + 280)) $((top + 124)) click 1
    sleep 1
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$output"
    colours=$(convert "$output" -crop "255x150+$((left + 341))+$((top + 45))" -format %k info:)
    [ "$colours" -gt 1 ] && break
    echo "screenshot-windows.sh: no converted text on attempt $attempt, typing again" >&2
done
echo "screenshot-windows.sh: wrote $output"
