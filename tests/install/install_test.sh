#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets: the programs and the
# tables (with the word and candidate tables) together in one program directory, links in bin that find the tables through the link,
# and a valid desktop entry with its icons.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

program_dir="$prefix/lib/pelmora"
for file in pelmora-convert pin.dat pj.dat jj.dat words.dat candidates.dat; do
    [ -f "$program_dir/$file" ] || fail "$program_dir/$file is missing"
done
[ -L "$prefix/bin/pelmora-convert" ] || fail "bin/pelmora-convert is not a link"
case "$(readlink "$prefix/bin/pelmora-convert")" in
/*) fail "bin/pelmora-convert links by an absolute path" ;;
esac

# Run through the link from another directory: the tables must be found beside the real
# executable, not beside the link or in the working directory.
output=$(cd / && printf '刘德华在广东发展' | "$prefix/bin/pelmora-convert" --preview)
[ "$output" = "劉徳華在広東発展" ] || fail "preview through the link gave '$output'"
sjis=$(cd / && printf '発展' | "$prefix/bin/pelmora-convert" | iconv -f UTF-8 -t GBK | iconv -f SHIFT_JIS -t UTF-8)
[ "$sjis" = "発展" ] || fail "code text through the link read as Shift-JIS gave '$sjis'"
words=$(cd / && printf '头发' | "$prefix/bin/pelmora-convert" --words --preview)
[ "$words" = "頭髪" ] || fail "the word table beside the program was not used: '$words'"

if [ -e "$program_dir/pelmora" ]; then
    [ -L "$prefix/bin/pelmora" ] || fail "bin/pelmora is not a link"
    desktop="$prefix/share/applications/pelmora.desktop"
    [ -f "$desktop" ] || fail "the desktop entry is missing"
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejected $desktop"
    for size in 16x16 32x32; do
        ls "$prefix/share/icons/hicolor/$size/apps/pelmora."* >/dev/null 2>&1 ||
            fail "no $size icon"
    done
fi
echo "install layout ok"
