#!/bin/sh
# Installs what is missing, builds Kelvora with its tests and runs the whole suite headless.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Each room includes only the rooms below it that it names (ARCHITECTURE.md).
sh scripts/check-layers.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
cd ..
# The record download under the fuzzer for a minute, where clang is at hand.
if command -v clang++ >/dev/null 2>&1; then
    sh bench/fuzz.sh download 60
fi
# The Debian package: made, installed, upgraded and removed (needs root; CI runs as root).
sh scripts/test-install.sh
