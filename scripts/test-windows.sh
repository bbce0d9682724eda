#!/bin/sh
# Cross-builds the Windows program and its tests, runs the tests under Wine through CTest
# (inside a virtual X display), and checks the program's window under Wine.
set -e
cd "$(dirname "$0")/.."
sh scripts/build-windows.sh
scripts/wine-run.sh cmd /c exit  # makes the Wine prefix once, before the tests time anything
cd build-windows
xvfb-run -a ctest --output-on-failure -j"$(nproc)"
cd ..
xvfb-run -a sh scripts/check-windows-window.sh
