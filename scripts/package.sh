#!/bin/sh
# Makes the installable packages into dist/: the Debian package, and where the Windows toolchain
# is at hand (../shared/toolchains) the Windows installer and the portable ZIP.
# KELVORA_PACKAGE_VERSION gives the packages another version than the program's (to test that
# a newer package replaces an older one); KELVORA_PACKAGE_WINDOWS=no leaves Windows out,
# KELVORA_PACKAGE_LINUX=no the Debian package.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
version=${KELVORA_PACKAGE_VERSION:-}

# cpack into a folder of its own, then the packages alone into dist/.
pack() {
    build=$1
    shift
    rm -rf "$build/cpack"
    (cd "$build" && cpack -B "$root/$build/cpack" ${version:+-D CPACK_PACKAGE_VERSION=$version} "$@" >/dev/null)
    find "$build/cpack" -maxdepth 1 -type f \( -name '*.deb' -o -name '*.exe' -o -name '*.zip' \) \
        -exec mv {} dist/ \;
}

mkdir -p dist
if [ "${KELVORA_PACKAGE_LINUX:-yes}" != no ]; then
    sh scripts/install-deps.sh package
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j"$(nproc)"
    pack build -G DEB
fi

windows=${KELVORA_PACKAGE_WINDOWS:-yes}
if [ "$windows" != no ] && [ -d "${KELVORA_TOOLCHAINS:-../shared/toolchains}" ]; then
    sh scripts/install-deps.sh windows package
    sh scripts/build-windows.sh
    pack build-windows -G "NSIS;ZIP" \
        ${version:+-D CPACK_PACKAGE_FILE_NAME=Kelvora-$version-win64}
fi
ls -l dist
