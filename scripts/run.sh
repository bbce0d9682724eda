#!/bin/sh
# Installs what is missing, builds Kelvora and starts it with the built-in simulated meter.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kelvora
exec build/kelvora --demo "$@"
