#!/bin/sh
# Tests the Debian package as a user gets it: made by scripts/package.sh, checked by lintian and
# the desktop validators, installed with apt-get, run from /usr/bin, upgraded by a newer
# package, removed, and nothing of it left. Changes the system: it needs root (CI runs as root).
set -e
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif sudo -n true 2>/dev/null; then
    as_root="sudo"
else
    echo "kelvora: the installation test needs root; skipped" >&2
    exit 0
fi
fail() {
    echo "kelvora: installation test: $*" >&2
    exit 1
}
if [ "${KELVORA_TEST_INSTALL:-yes}" = no ]; then
    echo "kelvora: the installation test is skipped (KELVORA_TEST_INSTALL=no)" >&2
    exit 0
fi
if dpkg-query -W -f='${Status}' kelvora 2>/dev/null | grep -q "ok installed"; then
    echo "kelvora: kelvora is installed on this system; the installation test, which would" \
        "remove it, is skipped" >&2
    exit 0
fi

version=$(sed -n 's/^project(kelvora VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
newer=$(echo "$version" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
rm -f dist/kelvora_*.deb
KELVORA_PACKAGE_WINDOWS=no sh scripts/package.sh >/dev/null
KELVORA_PACKAGE_WINDOWS=no KELVORA_PACKAGE_VERSION=$newer sh scripts/package.sh >/dev/null
deb=dist/kelvora_${version}-1_amd64.deb
[ -f "$deb" ] || fail "$deb was not made"
[ -f "dist/kelvora_${newer}-1_amd64.deb" ] || fail "the package of $newer was not made"

# lintian: errors fail, warnings are shown.
lintian --fail-on error "$deb" 2>&1 | grep -v "root privileges" || true
lintian --fail-on error "$deb" >/dev/null 2>&1 || fail "lintian reports errors"

$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$deb" >/dev/null
files=$(dpkg-query -L kelvora)
[ "$(/usr/bin/kelvora --version)" = "kelvora $version" ] || fail "kelvora --version"
survey=$(mktemp)
printf 'spacing,rho\n0.5,321.5\n1,309\n1.5,300.9\n2,284.2\n3,232.4\n4,190\n6,138.5\n8,110.6\n12,94.5\n16,87.9\n24,87.1\n32,85.7\n' >"$survey"
env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/kelvora --soil-model "$survey" --layers 2 | grep -q '"layers": *2' ||
    fail "kelvora --soil-model from /usr/bin"
rm -f "$survey"
for path in /usr/share/applications/kelvora.desktop /usr/share/icons/hicolor/48x48/apps/kelvora.png \
    /usr/share/icons/hicolor/256x256/apps/kelvora.png \
    /usr/share/metainfo/io.github.kelvora.Kelvora.metainfo.xml /usr/share/doc/kelvora/copyright; do
    [ -f "$path" ] || fail "$path is missing"
done
desktop-file-validate /usr/share/applications/kelvora.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net /usr/share/metainfo/io.github.kelvora.Kelvora.metainfo.xml >/dev/null ||
    fail "appstreamcli validate"
# Slim images tell dpkg to leave manuals out; there the manual cannot be found, by design.
if ! grep -qs '^path-exclude=/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
    [ "$(man -w kelvora)" = /usr/share/man/man1/kelvora.1.gz ] || fail "man -w kelvora"
    man kelvora 2>/dev/null | grep -q -- "--soil-model" || fail "the manual does not read"
fi

# A newer package replaces the installed one in place.
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./dist/kelvora_${newer}-1_amd64.deb" >/dev/null
[ "$(dpkg-query -W -f='${Version}' kelvora)" = "${newer}-1" ] || fail "the upgrade to $newer"
[ -x /usr/bin/kelvora ] || fail "/usr/bin/kelvora is gone after the upgrade"

$as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q kelvora >/dev/null
if dpkg-query -W -f='${Status}' kelvora 2>/dev/null | grep -q "ok installed"; then
    fail "still installed after apt-get remove"
fi
for path in $files; do
    if [ -f "$path" ] || [ -L "$path" ]; then
        fail "$path is left after apt-get remove"
    fi
done
echo "kelvora: installation test passed ($deb, upgraded to $newer, removed)"
