#!/bin/sh
# Cross-builds kelvora.exe and the test programs for Windows x86_64 into build-windows/, with
# the static MinGW-w64 Qt from ../shared/toolchains (unpacked once, outside the source tree).
# Environment: KELVORA_TOOLCHAINS (folder of the tarball), KELVORA_WINDOWS_QT (unpack target).
set -e
cd "$(dirname "$0")/.."
root=$(pwd)

fail() {
    echo "kelvora: $*" >&2
    exit 1
}

toolchains=${KELVORA_TOOLCHAINS:-$(dirname "$root")/shared/toolchains}
tarball=$toolchains/qt6.4.2-mingw64.tar.xz
[ -r "$tarball" ] || fail "Windows toolchain missing: $tarball not found"

sh scripts/install-deps.sh windows

if [ -n "$KELVORA_WINDOWS_QT" ]; then
    qt=$KELVORA_WINDOWS_QT
elif [ -w /opt ] || [ -w /opt/qt6-mingw ]; then
    qt=/opt/qt6-mingw
else
    qt=${XDG_CACHE_HOME:-$HOME/.cache}/kelvora/qt6-mingw
fi

# Unpacked again whenever the tarball changes; into a fresh folder first, so an interrupted
# unpack never passes for a complete one.
stamp=$(stat -c '%s %Y' "$tarball")
if [ ! -f "$qt/lib/cmake/Qt6/Qt6Config.cmake" ] || [ "$(cat "$qt/.kelvora-stamp" 2>/dev/null)" != "$stamp" ]; then
    echo "kelvora: unpacking the Windows toolchain into $qt" >&2
    parent=$(dirname "$qt")
    mkdir -p "$parent" || fail "cannot create $parent for the Windows toolchain"
    unpack=$(mktemp -d "$parent/.qt6-mingw.XXXXXX")
    if ! tar -C "$unpack" -xJf "$tarball" 2>/dev/null || [ ! -f "$unpack/qt6-mingw/lib/cmake/Qt6/Qt6Config.cmake" ]; then
        rm -rf "$unpack"
        fail "Windows toolchain broken: $tarball does not unpack to a Qt prefix"
    fi
    echo "$stamp" >"$unpack/qt6-mingw/.kelvora-stamp"
    rm -rf "$qt"
    mv "$unpack/qt6-mingw" "$qt"
    rmdir "$unpack"
fi

toolchain_file=$qt/lib/cmake/mingw64-toolchain.cmake
[ -f "$toolchain_file" ] || fail "Windows toolchain broken: $toolchain_file missing"
command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
    fail "Windows toolchain broken: x86_64-w64-mingw32-g++-posix not installed"

cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" \
    -DKELVORA_BENCH=OFF >/dev/null ||
    fail "Windows build: CMake could not configure build-windows/ with $qt"
cmake --build build-windows -j"$(nproc)"
