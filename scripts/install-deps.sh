#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Pelmora needs that are not installed yet.
# Usage: scripts/install-deps.sh [build|test|run|fuzz|windows]...   (default: build)
set -euo pipefail

# libmecab-dev: the table builder (tools/) rates Japanese spellings with MeCab.
build_packages=(build-essential cmake pkg-config libicu-dev qt6-base-dev libgl-dev libmecab-dev)
# qt6-translations-l10n: Qt's own texts in the window (OK, context menus) in Chinese.
# lintian and appstream: the validators the package test runs. mecab, mecab-ipadic,
# mecab-ipadic-utf8, kanjidic: the Japanese evidence the table tests rebuild the tables from;
# rime-essay: the Chinese word list of the word model they rebuild.
test_packages=(googletest libgtest-dev desktop-file-utils opencc libopencc1.1 unicode-data bzip2
               qt6-translations-l10n lintian appstream mecab mecab-ipadic mecab-ipadic-utf8
               kanjidic rime-essay)
run_packages=(fonts-noto-cjk qt6-translations-l10n)
# llvm-14: its /usr/bin/llvm-symbolizer-14 is where clang 14's sanitizer runtime looks for the
# symbolizer; without it a finding's stack has addresses and no function names.
fuzz_packages=(clang libclang-rt-14-dev llvm-14)
# The Windows build and its tests: the native compiler (for the Linux side of the output
# comparison), the MinGW-w64 cross compiler (posix threads), GoogleTest's sources, Wine to run
# the tests, Xvfb for the window and xdotool to drive the installer's wizard, NSIS for the
# installer, the locales Wine takes its ANSI code page from, a CJK font for the window's text,
# and the packages whose licence texts the packages carry (unicode-data, libicu-dev,
# libopencc-data, mecab-ipadic, kanjidic, rime-essay).
windows_packages=(build-essential cmake g++-mingw-w64-x86-64-posix googletest wine wine64 nsis
                  xvfb xdotool xauth locales fonts-noto-cjk unicode-data libicu-dev
                  libopencc-data mecab-ipadic kanjidic rime-essay)

wanted=()
for set in "${@:-build}"; do
    case "$set" in
    build) wanted+=("${build_packages[@]}") ;;
    test) wanted+=("${build_packages[@]}" "${test_packages[@]}") ;;
    run) wanted+=("${build_packages[@]}" "${run_packages[@]}") ;;
    fuzz) wanted+=("${build_packages[@]}" "${test_packages[@]}" "${fuzz_packages[@]}") ;;
    windows) wanted+=("${windows_packages[@]}") ;;
    *) echo "unknown package set: $set" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "These packages are missing: ${missing[*]}" >&2
        echo "Install them as root (su -c 'apt-get install ${missing[*]}'), then run this again." >&2
        exit 1
    fi
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
