#!/usr/bin/env bash
# The Windows installer's round trip under Wine: builds pelmora-0.3.0-win64-setup.exe, installs
# it silently into a folder with a Chinese name, converts with the installed
# pelmora-convert.exe, uninstalls silently and checks that nothing it installed is left: no
# file, no folder, no shortcut, no uninstall entry.
# Usage: windows_installer_test.sh BUILD_DIR   (WINEPREFIX and the rest from the test preset)
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d "$build/installer-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G NSIS -B "$work/package" >/dev/null
setup=$(ls "$work"/package/pelmora-*-win64-setup.exe)

target="$work/安装/Pelmora"
mkdir -p "$work/安装"
# /D= must come last and unquoted; NSIS takes the rest of the line as the folder.
wine "$setup" /S "/D=$(winepath -w "$target")" </dev/null >/dev/null 2>&1 ||
    fail "the installer ended with status $?"

for file in pelmora.exe pelmora-convert.exe pin.dat pj.dat jj.dat words.dat candidates.dat README.txt \
    licenses/Apache-2.0.txt Uninstall.exe; do
    [ -f "$target/$file" ] || fail "$file was not installed"
done
find "$WINEPREFIX/drive_c" -name 'Pelmora.lnk' -not -path '*/Temp/*' | grep -q . ||
    fail "no Start-menu shortcut to pelmora.exe"

output=$(printf '刘德华在广东发展' |
    wine "$(winepath -w "$target/pelmora-convert.exe")" --preview 2>&1)
[ "$output" = "劉徳華在広東発展" ] || fail "the installed pelmora-convert gave '$output'"

# The uninstaller copies itself away and runs from there, so the wait is for its work.
wine "$(winepath -w "$target/Uninstall.exe")" /S </dev/null >/dev/null 2>&1 ||
    fail "the uninstaller ended with status $?"
for _ in $(seq 150); do
    [ -e "$target" ] || break
    sleep 0.2
done
[ ! -e "$target" ] || fail "left behind: $(cd "$target" && find . | tr '\n' ' ')"
# Where an installer leaves shortcuts and program folders (not the temporary folders of the
# other tests).
left=$(find "$WINEPREFIX/drive_c/ProgramData" "$WINEPREFIX/drive_c/Program Files" \
    "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu" \
    "$WINEPREFIX"/drive_c/users/*/Desktop -iname '*pelmora*' 2>/dev/null || true)
[ -z "$left" ] || fail "left in the prefix: $(echo "$left" | tr '\n' ' ')"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora'
if wine reg query "$key" </dev/null >/dev/null 2>&1; then
    fail "the uninstall entry $key is still in the registry"
fi
echo "installer round trip ok: installed into $target, converted, uninstalled, nothing left"
