#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and runs on it the validators
# Debian and the desktops use: lintian (no error and no warning at its default level),
# appstreamcli on the metainfo, desktop-file-validate on the desktop entry. A validator that is
# not installed is skipped, and the test says so; with none installed the whole test is skipped.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
validators_run=0
have() {
    if command -v "$1" >/dev/null; then
        validators_run=$((validators_run + 1))
        return 0
    fi
    echo "skipped: $1 is not installed"
    return 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >/dev/null
deb=$(ls "$work"/package/pelmora_*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"

for file in usr/share/doc/pelmora/copyright usr/share/doc/pelmora/changelog.gz \
    usr/share/man/man1/pelmora.1.gz usr/share/man/man1/pelmora-convert.1.gz; do
    [ -e "$root/$file" ] || fail "$file is not in the package"
done
window=no
[ -e "$root/usr/lib/pelmora/pelmora" ] && window=yes

if have lintian; then
    # lintian warns against running as root, and some versions refuse; as root it runs as
    # "nobody". The build may lie in a folder "nobody" cannot enter (root's home is mode 0700),
    # and lintian must be able to enter its working folder, so it runs in a folder of its own
    # under /tmp, with the package copied there, which "nobody" owns.
    as_user=()
    lint_deb=$deb
    if [ "$(id -u)" -eq 0 ]; then
        lint_home=$(mktemp -d -p /tmp pelmora-lintian.XXXXXX)
        trap 'rm -rf "$work" "$lint_home"' EXIT
        cp "$deb" "$lint_home/"
        lint_deb="$lint_home/$(basename "$deb")"
        chown -R nobody:nogroup "$lint_home"
        as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups
            env HOME="$lint_home" TMPDIR="$lint_home")
    fi
    report=$(cd "${lint_home:-.}" &&
        "${as_user[@]}" lintian --fail-on error,warning "$lint_deb" 2>&1) ||
        fail "lintian: $report"
    echo "lintian: ${report:-no tags}"
fi

if [ "$window" = yes ]; then
    metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
    [ -f "${metainfo[0]}" ] || fail "no AppStream metainfo in usr/share/metainfo"
    if have appstreamcli; then
        appstreamcli validate --no-net --pedantic "${metainfo[@]}" ||
            fail "appstreamcli rejected ${metainfo[*]}"
        # The metainfo, the desktop entry and the icons together, as a software centre reads them.
        appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejected the tree"
    fi
    if have desktop-file-validate; then
        desktop-file-validate "$root/usr/share/applications/pelmora.desktop" ||
            fail "desktop-file-validate rejected the desktop entry"
    fi
fi

if [ "$validators_run" -eq 0 ]; then
    echo "no validator installed"
    exit 77
fi
echo "package ok: $(basename "$deb") passed $validators_run validators"
