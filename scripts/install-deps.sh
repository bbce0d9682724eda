#!/bin/sh
# Installs the Debian packages Kelvora needs to build, run and test, when any is missing.
set -e

packages="cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev
libgtest-dev fonts-wqy-zenhei python3 python3-xlrd poppler-utils libxlsxwriter-dev"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
else
    echo "kelvora: these packages are missing and I am not root:$missing" >&2
    exit 1
fi
echo "kelvora: installing$missing" >&2
$as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
