#!/bin/sh
# Builds targets in the shared developer build folder, one build at a time.
# Usage: scripts/dev-build.sh [target ...]
set -e
cd "$(dirname "$0")/.."
exec 9>/tmp/kelvora-dev-build.lock
flock 9
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
if [ $# -eq 0 ]; then
    cmake --build build -j2
else
    for target in "$@"; do
        cmake --build build -j2 --target "$target"
    done
fi
