#!/usr/bin/env bash
# The Windows installer under Wine, as a user meets it: the wizard's keys are pressed with
# xdotool on the Xvfb display, its pages and message boxes read with pelmora_window_text.exe.
#   round-trip: the wizard installs into a folder it creates, with a Start-menu folder the user
#     names; setup run again offers a repair on its welcome page, and 取消 there leaves the
#     installation as it was; a silent repair puts a lost table back in place; upgrades from an
#     earlier version stay in the folder and the named Start-menu folder (the old versioned
#     default becomes "Pelmora"); the installed program converts; the uninstall leaves nothing,
#     not even the folder the wizard created, but keeps a folder that was there before.
#   running: while pelmora.exe runs from the installation, setup and the uninstaller ask in
#     Chinese to close it (重试/取消); cancelled, or run silently, they change nothing; once it
#     is closed, 重试 finishes the install or the uninstall.
# Usage: windows_installer_test.sh BUILD_DIR round-trip|running
#   (WINEPREFIX and DISPLAY from scripts/test.sh, LANG=zh_CN.UTF-8 for the Chinese wizard)
# Exits 77 (skipped) without a display or xdotool, which the wizard needs.
set -euo pipefail
build=$(cd "$1" && pwd)
scenario=$2
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null; then
    echo "skipped: the wizard needs an X display (DISPLAY) and xdotool"
    exit 77
fi
work=$(mktemp -d "$build/installer-test.XXXXXX")
started=()
# Whatever this run started and a failure left open: its windows would take the next run's keys.
stop_started() {
    for pid in "${started[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wine taskkill /f /im Un.exe </dev/null >/dev/null 2>&1 || true
}
trap 'stop_started; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

for helper in pelmora_type_text pelmora_window_text; do
    [ -f "$build/bin/$helper.exe" ] || fail "build $helper first"
done
cpack --config "$build/CPackConfig.cmake" -G NSIS -B "$work/package" >/dev/null
setup=$(ls "$work"/package/pelmora-*-win64-setup.exe)
version=$(basename "$setup" | sed 's/^pelmora-\(.*\)-win64-setup\.exe$/\1/')

programs="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
vendor_key='HKLM\Software\Pelmora project'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora'
installed_files=(pelmora.exe pelmora-convert.exe pin.dat pj.dat jj.dat words.dat candidates.dat
    names.dat README.txt LICENSE.txt licenses/Apache-2.0.txt licenses/kanjidic.txt Uninstall.exe)

# Waits up to 60 s for COMMAND to succeed.
wait_for() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}
# What the visible windows titled "Pelmora <version> 安装" (setup) or "... 卸载" (the
# uninstaller) show: the wizard page and any message box over it.
window_text() { wine "$build/bin/pelmora_window_text.exe" "Pelmora $version $1" </dev/null 2>/dev/null; }
shows() { window_text "$1" | grep -qF -- "$2"; }
wait_shows() { wait_for shows "$1" "$2" || fail "$3: the $1 window never showed '$2'; it showed: $(window_text "$1")"; }
gone() { [ -z "$(xdotool search --onlyvisible --name "Pelmora $version $1" 2>/dev/null)" ]; }
# A key to the focused window: the newest wizard page or message box.
press() {
    xdotool key --clearmodifiers "$@"
    sleep 0.5
}
# Types TEXT into the wizard's focused field: X key events cannot carry Chinese into Wine
# reliably (xdotool lends a spare key each character and Wine may read it after its return).
type_text() {
    wine "$build/bin/pelmora_type_text.exe" "$1" </dev/null >/dev/null 2>&1 ||
        fail "could not type '$1' into the wizard"
    sleep 0.5
}
registry_has() { wine reg query "$@" </dev/null >/dev/null 2>&1; }
windows_path() { winepath -w "$1"; }

# The installation in DIR with its Start-menu folder FOLDER is whole and works: every file,
# both shortcuts, the install key and the uninstall entry naming DIR's uninstaller.
installation_intact() {
    local dir=$1 folder=$2 what=$3
    for file in "${installed_files[@]}"; do
        [ -f "$dir/$file" ] || fail "$what: $file is missing from $dir"
    done
    for shortcut in Pelmora.lnk Uninstall.lnk; do
        [ -f "$programs/$folder/$shortcut" ] ||
            fail "$what: no $shortcut in the Start-menu folder $folder: $(ls "$programs")"
    done
    registry_has "$vendor_key\\Pelmora" || fail "$what: $vendor_key\\Pelmora is gone"
    wine reg query "$uninstall_key" /v UninstallString </dev/null 2>/dev/null |
        grep -qF "\\Pelmora\\Uninstall.exe" || fail "$what: the uninstall entry is gone"
    local output
    output=$(printf '刘德华在广东发展' |
        wine "$(windows_path "$dir/pelmora-convert.exe")" --preview 2>&1)
    [ "$output" = "劉徳華在広東発展" ] || fail "$what: the installed pelmora-convert gave '$output'"
}

# Nothing of the installation in DIR with Start-menu folder FOLDER is left: no file, folder,
# shortcut folder or registry key.
installation_removed() {
    local dir=$1 folder=$2
    wait_for test ! -e "$dir" || fail "left behind: $(cd "$dir" && find . | tr '\n' ' ')"
    wait_for test ! -e "$programs/$folder" ||
        fail "the Start-menu folder is left: $(ls "$programs/$folder" | tr '\n' ' ')"
    wait_for eval '! registry_has "$uninstall_key"' || fail "the uninstall entry is left"
    for key in "$vendor_key" 'HKCU\Software\Pelmora project'; do
        if registry_has "$key"; then
            fail "the registry key $key is left"
        fi
    done
}

# The uninstaller copies itself away and runs from there, so the wait is for its work.
uninstall_silently() {
    wine "$(windows_path "$1/Uninstall.exe")" /S </dev/null >/dev/null 2>&1 ||
        fail "the uninstaller ended with status $?"
}

# What a failed earlier run may have left in the prefix.
wine reg delete "$uninstall_key" /f </dev/null >/dev/null 2>&1 || true
wine reg delete "$vendor_key" /f </dev/null >/dev/null 2>&1 || true
rm -rf "${programs:?}/汉字工具测试" "${programs:?}/Pelmora" "${programs:?}/Pelmora 0.2.0"

round_trip() {
    # The licence page shows Pelmora's licence, not CPack's placeholder.
    local script="$work/package/_CPack_Packages/win64/NSIS/project.nsi" licence
    licence=$(sed -n 's/^ *!insertmacro MUI_PAGE_LICENSE "\(.*\)"/\1/p' "$script")
    [ -n "$licence" ] || fail "the installer has no licence page"
    cmp -s "$licence" "$(dirname "$0")/../../LICENSE" || fail "the licence page shows $licence"

    # A folder typed in the wizard whose parent the install creates.
    local target="$work/游戏工具/Pelmora" folder=汉字工具测试
    wine "$setup" </dev/null >/dev/null 2>&1 &
    local installer=$!
    started+=("$installer")
    wait_shows 安装 "欢迎使用" "the first install"
    shows 安装 "已经安装" && fail "a first install speaks of an installation: $(window_text 安装)"
    press Return # Welcome: Next
    wait_shows 安装 "[我接受(I)]" "the licence page names the button as it reads"
    shows 安装 "我同意" && fail "the licence page names a button 我同意"
    press Return # Licence: 我接受
    wait_shows 安装 "选择安装位置" "the folder page"
    # Its field has the focus, the default folder selected; the typing replaces it.
    press End shift+Home
    type_text "$(windows_path "$target")"
    press Return # Next
    wait_shows 安装 "选择开始菜单文件夹" "the Start-menu page"
    window_text 安装 | grep -qx "Pelmora" ||
        fail "the default Start-menu folder is not Pelmora: $(window_text 安装)"
    press End shift+Home
    type_text "$folder"
    press Return # Install; the files are copied
    wait_shows 安装 "已经成功安装" "the first install"
    press Return # Finish
    wait_for gone 安装 || fail "the wizard did not close after Finish"
    wait "$installer" || fail "the installer ended with status $?"
    installation_intact "$target" "$folder" "the wizard's install"

    # Setup again: its welcome page offers a repair; 取消 there, confirmed, changes nothing.
    wine "$setup" </dev/null >/dev/null 2>&1 &
    installer=$!
    started+=("$installer")
    wait_shows 安装 "本向导将修复它" "setup over the same version"
    shows 安装 "$(windows_path "$target")" || fail "the repair does not name the folder"
    press Escape # 取消(C)
    wait_shows 安装 "确定要退出" "取消 on the welcome page"
    press Return # 是(Y)
    wait_for gone 安装 || fail "setup did not close after 取消"
    wait "$installer" || true
    installation_intact "$target" "$folder" "after setup over it was cancelled"

    # A silent repair puts a lost table back, in the installation's folder whatever /D says.
    rm "$target/pin.dat"
    wine "$setup" /S "/D=$(windows_path "$work/elsewhere")" </dev/null >/dev/null 2>&1 ||
        fail "the silent repair ended with status $?"
    [ ! -e "$work/elsewhere" ] || fail "the repair installed a second copy in $work/elsewhere"
    installation_intact "$target" "$folder" "the silent repair"

    # Over an earlier version: an upgrade in place that keeps the named Start-menu folder...
    wine reg add "$uninstall_key" /v DisplayVersion /d 0.2.0 /f </dev/null >/dev/null 2>&1
    wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the upgrade ended with status $?"
    installation_intact "$target" "$folder" "the upgrade"
    wine reg query "$uninstall_key" /v DisplayVersion </dev/null 2>/dev/null | grep -qF "$version" ||
        fail "the upgrade did not record version $version"
    # ... and moves one named by the old versioned default to "Pelmora".
    wine reg add "$uninstall_key" /v DisplayVersion /d 0.2.0 /f </dev/null >/dev/null 2>&1
    wine reg add "$uninstall_key" /v StartMenu /d "Pelmora 0.2.0" /f </dev/null >/dev/null 2>&1
    wine reg add "$vendor_key\\Pelmora" /v "Start Menu Folder" /d "Pelmora 0.2.0" /f \
        </dev/null >/dev/null 2>&1
    mv "$programs/$folder" "$programs/Pelmora 0.2.0"
    wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the upgrade ended with status $?"
    installation_intact "$target" Pelmora "the upgrade from a versioned Start-menu folder"
    [ ! -e "$programs/Pelmora 0.2.0" ] || fail "the old Start-menu folder Pelmora 0.2.0 is left"
    local others
    others=$(find "$WINEPREFIX/drive_c/Program Files" "$WINEPREFIX/drive_c/Program Files (x86)" \
        "$WINEPREFIX"/drive_c/users/*/Documents -iname 'pelmora.exe' 2>/dev/null || true)
    [ -z "$others" ] || fail "setup installed a second copy: $others"

    uninstall_silently "$target"
    installation_removed "$target" Pelmora
    wait_for test ! -e "$work/游戏工具" || fail "the folder 游戏工具 that the install created is left"
    # Where an installer leaves shortcuts and program folders (not the temporary folders of the
    # other tests).
    local left
    left=$(find "$WINEPREFIX/drive_c/ProgramData" "$WINEPREFIX/drive_c/Program Files" \
        "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu" \
        "$WINEPREFIX"/drive_c/users/*/Desktop \( -iname '*pelmora*' -o -name "$folder" \) \
        2>/dev/null || true)
    [ -z "$left" ] || fail "left in the prefix: $(echo "$left" | tr '\n' ' ')"

    # A folder that was there before the install stays.
    mkdir "$work/安装"
    wine "$setup" /S "/D=$(windows_path "$work/安装/Pelmora")" </dev/null >/dev/null 2>&1 ||
        fail "the install into $work/安装 ended with status $?"
    installation_intact "$work/安装/Pelmora" Pelmora "the silent install"
    uninstall_silently "$work/安装/Pelmora"
    installation_removed "$work/安装/Pelmora" Pelmora
    [ -d "$work/安装" ] || fail "the uninstaller removed 安装, which was there before the install"
    echo "installer round trip ok: wizard install into $target with the Start-menu folder" \
        "$folder, cancelled reinstall, repair, upgrades in place, uninstalled, nothing left"
}

running() {
    local target="$work/运行/Pelmora"
    wine "$setup" /S "/D=$(windows_path "$target")" </dev/null >/dev/null 2>&1 ||
        fail "the install ended with status $?"
    installation_intact "$target" Pelmora "the install"

    # Started before setup and the uninstaller, so that their windows get the focus.
    start_pelmora() {
        wine "$(windows_path "$target/pelmora.exe")" </dev/null >/dev/null 2>&1 &
        pelmora=$!
        started+=("$pelmora")
        wait_for eval '[ -n "$(xdotool search --onlyvisible --name "^PelmoraV" 2>/dev/null)" ]' ||
            fail "pelmora.exe did not show its window"
    }
    close_pelmora() {
        kill "$pelmora"
        wait "$pelmora" || true
    }
    local message
    start_pelmora

    # Silently, nothing can be asked: both stop (status 2, NSIS's for an aborted run) and change
    # nothing. The uninstaller runs in place (_?=) so that its status is the uninstall's.
    local status=0
    wine "$setup" /S </dev/null >/dev/null 2>&1 || status=$?
    [ "$status" = 2 ] || fail "the silent install while pelmora.exe runs ended with status $status"
    installation_intact "$target" Pelmora "the silent install while pelmora.exe runs"
    status=0
    wine "$(windows_path "$target/Uninstall.exe")" /S "_?=$(windows_path "$target")" \
        </dev/null >/dev/null 2>&1 || status=$?
    [ "$status" = 2 ] || fail "the silent uninstall while pelmora.exe runs ended with status $status"
    installation_intact "$target" Pelmora "the silent uninstall while pelmora.exe runs"

    # The wizard asks before it writes a file, and goes on once pelmora.exe is closed.
    rm "$target/pin.dat"
    wine "$setup" </dev/null >/dev/null 2>&1 &
    local installer=$!
    started+=("$installer")
    wait_shows 安装 "本向导将修复它" "setup over the installation"
    press Return # Welcome: Next
    wait_shows 安装 "[我接受(I)]" "the repair's licence page"
    press Return # 我接受(I): the folder and Start-menu pages are skipped
    wait_shows 安装 "正在运行" "setup while pelmora.exe runs"
    message=$(window_text 安装)
    for text in "pelmora.exe" "[重试(R)]" "[取消]" "重试(&R)" "取消"; do
        grep -qF -- "$text" <<<"$message" || fail "setup's message lacks '$text': $message"
    done
    [ ! -e "$target/pin.dat" ] || fail "setup wrote files while pelmora.exe runs"
    press Return # 重试(R) while it still runs: asked again
    wait_shows 安装 "正在运行" "重试 while pelmora.exe runs"
    close_pelmora
    press Return # 重试(R)
    wait_shows 安装 "已经成功安装" "setup after pelmora.exe was closed"
    press Return # Finish
    wait_for gone 安装 || fail "the wizard did not close after Finish"
    wait "$installer" || fail "the installer ended with status $?"
    installation_intact "$target" Pelmora "the repair once pelmora.exe was closed"

    # The uninstaller asks before it removes anything; 取消 keeps a working installation.
    start_pelmora
    wine "$(windows_path "$target/Uninstall.exe")" </dev/null >/dev/null 2>&1
    wait_shows 卸载 "[卸载(U)]" "the uninstaller's confirmation page"
    press Return # 卸载(U)
    wait_shows 卸载 "正在运行" "the uninstaller while pelmora.exe runs"
    message=$(window_text 卸载)
    for text in "pelmora.exe" "[重试(R)]" "[取消]" "保持安装"; do
        grep -qF -- "$text" <<<"$message" || fail "the uninstaller's message lacks '$text': $message"
    done
    press Escape # 取消
    wait_shows 卸载 "卸载中止" "取消 in the uninstaller"
    shows 卸载 "成功" && fail "the cancelled uninstall reports success: $(window_text 卸载)"
    installation_intact "$target" Pelmora "the cancelled uninstall"
    press Return # 取消(C) closes it
    wait_for gone 卸载 || fail "the uninstaller did not close"

    # Asked again, closed, 重试: everything goes.
    wine "$(windows_path "$target/Uninstall.exe")" </dev/null >/dev/null 2>&1
    wait_shows 卸载 "[卸载(U)]" "the uninstaller's confirmation page"
    press Return # 卸载(U)
    wait_shows 卸载 "正在运行" "the uninstaller while pelmora.exe runs"
    close_pelmora
    press Return # 重试(R)
    wait_shows 卸载 "成功完成卸载" "the uninstall after pelmora.exe was closed"
    press Return # 关闭(L)
    wait_for gone 卸载 || fail "the uninstaller did not close"
    installation_removed "$target" Pelmora
    wait_for test ! -e "$work/运行" || fail "the folder 运行 that the install created is left"
    echo "installer and uninstaller with pelmora.exe running ok: asked, nothing changed when" \
        "cancelled or silent, finished once it was closed"
}

case "$scenario" in
round-trip) round_trip ;;
running) running ;;
*) fail "unknown scenario '$scenario' (round-trip or running)" ;;
esac
