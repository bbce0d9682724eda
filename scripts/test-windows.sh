#!/bin/sh
# Cross-builds the Windows program and its tests, runs the tests under Wine through CTest
# (inside a virtual X display).
set -e
cd "$(dirname "$0")/.."
sh scripts/build-windows.sh
cd build-windows
xvfb-run -a ctest --output-on-failure -j"$(nproc)"
