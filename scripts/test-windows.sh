#!/bin/sh
# Cross-builds the Windows program and its tests, runs the tests under Wine through CTest
# (inside a virtual X display), checks the program's window under Wine, and tests its installer.
set -e
cd "$(dirname "$0")/.."
sh scripts/build-windows.sh
scripts/wine-run.sh cmd /c exit  # makes the Wine prefix once, before the tests time anything
cd build-windows
xvfb-run -a ctest --output-on-failure -j"$(nproc)"
cd ..
xvfb-run -a sh scripts/check-windows-window.sh
# The installer: made (and a newer one), installed, upgraded and uninstalled under Wine.
version=$(sed -n 's/^project(kelvora VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
newer=$(echo "$version" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
rm -f dist/Kelvora-*-win64.*
KELVORA_PACKAGE_LINUX=no sh scripts/package.sh >/dev/null
KELVORA_PACKAGE_LINUX=no KELVORA_PACKAGE_VERSION=$newer sh scripts/package.sh >/dev/null
xvfb-run -a sh scripts/test-windows-install.sh "$newer"
