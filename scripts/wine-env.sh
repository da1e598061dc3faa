# Sourced by the scripts that run Pelmora's Windows build under Wine. Gives them:
#   windows_locales        generates the locales Wine takes its ANSI code page from
#   wine_start BUILD_DIR   a throwaway Wine prefix in BUILD_DIR/wineprefix, its server kept
#                          running, and an Xvfb display for windows; wine_stop ends both
# and exports WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, LANG (zh_CN.UTF-8: code page 936) and
# DISPLAY.

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

# zh_CN.UTF-8 gives Wine code page 936, ja_JP.UTF-8 code page 932, en_US.UTF-8 code page 1252.
# A fresh Debian system has none of them.
windows_locales() {
    local missing=()
    for locale in zh_CN ja_JP en_US; do
        locale -a 2>/dev/null | grep -qix "${locale}.utf8" || missing+=("$locale")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Generating locales: ${missing[*]}"
    for locale in "${missing[@]}"; do
        "${sudo_cmd[@]}" sed -i "s/^# *\(${locale}\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^${locale}\.UTF-8 UTF-8" /etc/locale.gen ||
            echo "${locale}.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${sudo_cmd[@]}" locale-gen >/dev/null
}

wine_xvfb_pid=""

wine_start() {
    local build=$1
    export WINEPREFIX="$PWD/$build/wineprefix"
    export WINEDEBUG=-all
    # No prompts to install Mono or Gecko: Pelmora needs neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LANG=zh_CN.UTF-8
    unset LC_ALL
    mkdir -p "$build"

    # The display first: Wine's desktop process starts with the first program and keeps the
    # display it found, so a display started later never serves a window.
    local display
    for display in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] || break
    done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    wine_xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.1
    done

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Making a Wine prefix in $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 </dev/null
        # "宋体" (SimSun) is the window's font; Wine has none by that name, and fontconfig's
        # own choice lacks some GBK characters.
        local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
        wine reg add "$key" /v SimSun /d "Noto Serif CJK SC" /f >/dev/null 2>&1 </dev/null
        wine reg add "$key" /v "宋体" /d "Noto Serif CJK SC" /f >/dev/null 2>&1 </dev/null
        # Xvfb has no window manager: unmanaged, Wine draws the frames itself instead of
        # waiting two seconds for a window manager each time a window is hidden or destroyed.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    fi
    # One server for all tests: without it every test pays Wine's start-up. Started with its
    # helpers before CTest, whose output pipes they would otherwise hold open.
    # The server that made the prefix may still be there, without -p.
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$wine_xvfb_pid" ]; then
        kill "$wine_xvfb_pid" 2>/dev/null || true
        wait "$wine_xvfb_pid" 2>/dev/null || true
        wine_xvfb_pid=""
    fi
}
