#!/usr/bin/env bash
# The Windows installer's round trip under Wine, as a user makes it: builds
# pelmora-0.3.0-win64-setup.exe and installs it through its wizard (the keys a user presses,
# sent with xdotool to the Xvfb display), into a folder with a Chinese name and a Start-menu
# folder the user names; installs again over it silently (an upgrade stays where the first
# install went); converts with the installed pelmora-convert.exe; uninstalls and checks that
# nothing the installers made is left: no file, no folder, no shortcut folder, no registry key.
# Usage: windows_installer_test.sh BUILD_DIR   (WINEPREFIX and DISPLAY from scripts/test.sh)
# Exits 77 (skipped) without a display or xdotool, which the wizard needs.
set -euo pipefail
build=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null; then
    echo "skipped: the wizard needs an X display (DISPLAY) and xdotool"
    exit 77
fi
work=$(mktemp -d "$build/installer-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G NSIS -B "$work/package" >/dev/null
setup=$(ls "$work"/package/pelmora-*-win64-setup.exe)
# The licence page shows Pelmora's licence, not CPack's placeholder.
script="$work/package/_CPack_Packages/win64/NSIS/project.nsi"
licence=$(sed -n 's/^ *!insertmacro MUI_PAGE_LICENSE "\(.*\)"/\1/p' "$script")
[ -n "$licence" ] || fail "the installer has no licence page"
[ -f "$build/bin/pelmora_type_text.exe" ] || fail "build pelmora_type_text first"
cmp -s "$licence" "$(dirname "$0")/../../LICENSE" || fail "the licence page shows $licence"

target="$work/安装/Pelmora"
folder=汉字工具测试
mkdir -p "$work/安装"
programs="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
vendor_key='HKLM\Software\Pelmora project'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora'

# Waits up to 60 s for COMMAND to succeed.
wait_for() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}
# The wizard speaks the system's language: "Pelmora 0.3.0 安装" under code page 936.
wizard_window() { xdotool search --onlyvisible --name 'Pelmora [0-9.]+ (Setup|安装)' 2>/dev/null | head -n 1; }
wizard_shown() { [ -n "$(wizard_window)" ]; }
wizard_gone() { ! wizard_shown; }
# A key to the wizard, which has the focus, then time for the next page to show.
press() {
    xdotool key --clearmodifiers "$@"
    sleep 1.5
}
# Types TEXT into the wizard's focused field: X key events cannot carry Chinese into Wine
# reliably (xdotool lends a spare key each character and Wine may read it after its return).
type_text() {
    wine "$build/bin/pelmora_type_text.exe" "$1" </dev/null >/dev/null 2>&1 ||
        fail "could not type '$1' into the wizard"
    sleep 0.5
}

# What a failed earlier run may have left in the test's prefix: it would make the installer
# offer to uninstall a folder that is gone.
wine reg delete "$uninstall_key" /f </dev/null >/dev/null 2>&1 || true
wine reg delete "$vendor_key" /f </dev/null >/dev/null 2>&1 || true
rm -rf "${programs:?}/$folder"

wine "$setup" </dev/null >/dev/null 2>&1 &
installer=$!
wait_for wizard_shown || fail "the installer's wizard did not show"
sleep 1
press Return # Welcome: Next
press Return # Licence: I Agree
# Folder: its field has the focus, the default folder selected; the typing replaces it.
press End shift+Home
type_text "$(winepath -w "$target")"
press Return # Next
# Start-menu folder: the same.
press End shift+Home
type_text "$folder"
press Return # Install; the files are copied
wait_for test -f "$target/Uninstall.exe" || fail "the wizard did not install into $target"
# Finish, once the copying page has moved on to it (Enter does nothing before).
for _ in $(seq 20); do
    wizard_gone && break
    press Return
done
wizard_gone || fail "the wizard did not close after Finish"
wait "$installer" || fail "the installer ended with status $?"

for file in pelmora.exe pelmora-convert.exe pin.dat pj.dat jj.dat words.dat candidates.dat \
    names.dat README.txt LICENSE.txt licenses/Apache-2.0.txt licenses/kanjidic.txt Uninstall.exe; do
    [ -f "$target/$file" ] || fail "$file was not installed"
done
[ -f "$programs/$folder/Pelmora.lnk" ] ||
    fail "no Pelmora.lnk in the Start-menu folder $folder: $(ls "$programs")"
wine reg query "$vendor_key\\Pelmora" </dev/null >/dev/null 2>&1 || fail "$vendor_key\\Pelmora not written"

# An install over it: the earlier one is uninstalled, the new one goes into the same folder
# and Start-menu folder.
wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the installer over the first ended with status $?"
[ -f "$target/pelmora.exe" ] || fail "the upgrade did not install into $target"
[ -f "$programs/$folder/Pelmora.lnk" ] || fail "the upgrade lost the Start-menu folder $folder"
others=$(find "$WINEPREFIX/drive_c/Program Files" "$WINEPREFIX/drive_c/Program Files (x86)" \
    "$WINEPREFIX"/drive_c/users/*/Documents -iname 'pelmora.exe' 2>/dev/null || true)
[ -z "$others" ] || fail "the upgrade installed a second copy: $others"

output=$(printf '刘德华在广东发展' |
    wine "$(winepath -w "$target/pelmora-convert.exe")" --preview 2>&1)
[ "$output" = "劉徳華在広東発展" ] || fail "the installed pelmora-convert gave '$output'"

# The uninstaller copies itself away and runs from there, so the wait is for its work.
wine "$(winepath -w "$target/Uninstall.exe")" /S </dev/null >/dev/null 2>&1 ||
    fail "the uninstaller ended with status $?"
wait_for test ! -e "$target" || fail "left behind: $(cd "$target" && find . | tr '\n' ' ')"
wait_for test ! -e "$programs/$folder" ||
    fail "the Start-menu folder is left: $(ls "$programs/$folder" | tr '\n' ' ')"
# Where an installer leaves shortcuts and program folders (not the temporary folders of the
# other tests).
left=$(find "$WINEPREFIX/drive_c/ProgramData" "$WINEPREFIX/drive_c/Program Files" \
    "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu" \
    "$WINEPREFIX"/drive_c/users/*/Desktop \( -iname '*pelmora*' -o -name "$folder" \) \
    2>/dev/null || true)
[ -z "$left" ] || fail "left in the prefix: $(echo "$left" | tr '\n' ' ')"
for key in "$uninstall_key" "$vendor_key" 'HKCU\Software\Pelmora project'; do
    if wine reg query "$key" </dev/null >/dev/null 2>&1; then
        fail "the registry key $key is left"
    fi
done
echo "installer round trip ok: wizard install into $target with the Start-menu folder $folder," \
    "upgrade in place, converted, uninstalled, nothing left"
