#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix (CTest's cross-compiling
# emulator). The prefix is made on first use; Mono and Gecko are not wanted, and the Chinese
# locale gives the programs the ANSI code page 936.
build=$(cd "$(dirname "$0")/../build-windows" && pwd)
export WINEPREFIX="${WINEPREFIX:-$build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL="${KELVORA_WINE_LOCALE:-zh_CN.UTF-8}"
loader=wine
if [ -x /usr/lib/wine/wine64 ]; then
    loader=/usr/lib/wine/wine64  # the wrapper script would warn at every start that wine32 is missing
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
fi
# Serial ports: the build machine's own devices are hidden from the programs (a port with no
# hardware behind it can block), and COM12 is a terminal: /dev/ptmx gives a fresh
# pseudo-terminal at every open. Other ports are set by those who need them.
if [ ! -f "$WINEPREFIX/.kelvora-ports" ]; then
    {
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
        for n in $(seq 1 16); do
            [ "$n" = 12 ] && device=/dev/ptmx || device=
            printf '"COM%s"="%s"\n' "$n" "$device"
        done
    } >"$WINEPREFIX/ports.reg"
    "$loader" regedit /S "$WINEPREFIX/ports.reg" >/dev/null 2>&1
    wineserver -w  # the ports are set up when Wine starts next
    touch "$WINEPREFIX/.kelvora-ports"
fi
exec "$loader" "$@"
