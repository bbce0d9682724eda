#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix (CTest's cross-compiling
# emulator). The prefix is made on first use; Mono and Gecko are not wanted, and the Chinese
# locale gives the programs the ANSI code page 936.
build=$(cd "$(dirname "$0")/../build-windows" && pwd)
export WINEPREFIX="${WINEPREFIX:-$build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL="${KELVORA_WINE_LOCALE:-zh_CN.UTF-8}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
fi
# Serial ports for the tests: COM3 (or KELVORA_WINE_COM3) and COM12 are terminals; /dev/ptmx
# gives a fresh pseudo-terminal at every open. Replaced in one step, as tests run in parallel.
link_port() {
    ln -sfn "$2" "$WINEPREFIX/dosdevices/.$1.$$" && mv -Tf "$WINEPREFIX/dosdevices/.$1.$$" "$WINEPREFIX/dosdevices/$1"
}
link_port com3 "${KELVORA_WINE_COM3:-/dev/ptmx}"
link_port com12 /dev/ptmx
# The 64-bit loader itself: the wrapper script would warn on every start that wine32 is missing.
if [ -x /usr/lib/wine/wine64 ]; then
    exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
