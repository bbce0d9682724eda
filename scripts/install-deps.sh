#!/bin/sh
# Installs the Debian packages Kelvora needs to build, run and test, when any is missing.
# With the argument "windows": also what the Windows cross build and its tests under Wine need.
set -e

packages="cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev
libqt6opengl6-dev qt6-qpa-plugins libgl-dev libxlsxwriter-dev libsqlite3-dev libeigen3-dev libgtest-dev fonts-wqy-zenhei
qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
python3 python3-xlrd python3-openpyxl poppler-utils"
# With "package": what makes and checks the packages; with "windows" as well, the installer's.
if [ "$1" = package ] || [ "$2" = package ]; then
    packages="$packages dpkg-dev fakeroot lintian desktop-file-utils appstream man-db"
fi
if [ "$1" = windows ] && [ "$2" = package ]; then
    packages="$packages nsis"
fi
if [ "$1" = windows ]; then
    # Host Qt tools (moc, rcc) of the same version as the Windows Qt; GoogleTest's sources;
    # a zh_CN locale so that Wine runs with the Chinese ANSI code page; screenshots.
    packages="$packages qt6-base-dev-tools ninja-build g++-mingw-w64-x86-64-posix wine
xvfb xauth googletest locales imagemagick"
fi

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
elif [ -n "$missing" ]; then
    echo "kelvora: these packages are missing and I am not root:$missing" >&2
    exit 1
fi
if [ -n "$missing" ]; then
    echo "kelvora: installing$missing" >&2
    $as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi

if [ "$1" = windows ] && ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    echo "kelvora: generating the zh_CN.UTF-8 locale" >&2
    $as_root localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
