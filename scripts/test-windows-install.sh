#!/bin/sh
# Tests the Windows installer under Wine, in the build's own prefix: a silent install into
# Program Files, the Start-menu shortcut and the Apps & Features entry, the installed program's
# window (the window check), a newer installer replacing the older one in place, and a silent
# uninstall that removes everything it installed and leaves the user's files, settings and
# site archive.
# Expects dist/ as scripts/package.sh leaves it (both versions); run inside an X display.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build-windows/wine}"
version=$(sed -n 's/^project(kelvora VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
newer=${1:?the newer version}

fail() {
    echo "kelvora: installer test: $*" >&2
    exit 1
}
wine_run() {
    scripts/wine-run.sh "$@"
    wineserver -w
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvora'
installed_version() {
    wine_run reg query "$uninstall_key" /v DisplayVersion 2>/dev/null |
        sed -n 's/.*DisplayVersion[^0-9]*\([0-9.]*\).*/\1/p' | tr -d '\r'
}

folder="$WINEPREFIX/drive_c/Program Files/Kelvora"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kelvora"
# The user's data folder (%APPDATA%\kelvora), where the site archive lives.
data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/kelvora"
# Whatever happens, the prefix is left as the other tests need it: nothing installed, no
# setting of the program's (a remembered English would change the window check's captions).
clean_up() {
    wineserver -k 2>/dev/null || true
    wineserver -w
    rm -rf "$folder" "$menu" "$WINEPREFIX/drive_c/Kelvora"
    rm -f "$data/archive.sqlite"
    scripts/wine-run.sh reg delete 'HKCU\Software\Kelvora' /f >/dev/null 2>&1 || true
    scripts/wine-run.sh reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
    wineserver -w
}
trap clean_up EXIT
clean_up
for setup in "dist/Kelvora-$version-win64.exe" "dist/Kelvora-$newer-win64.exe"; do
    [ -f "$setup" ] || fail "$setup was not made"
done

wine_run "dist/Kelvora-$version-win64.exe" /S
[ -f "$folder/kelvora.exe" ] || fail "kelvora.exe is not in $folder"
[ -f "$folder/Uninstall.exe" ] || fail "no uninstaller in $folder"
[ -f "$menu/Kelvora.lnk" ] || fail "no Start-menu shortcut in $menu"
[ "$(installed_version)" = "$version" ] || fail "Apps & Features does not list $version"

sh scripts/check-windows-window.sh "$folder/kelvora.exe" build-windows/install-check

# What the user made: a saved file, a setting and the site archive, which the uninstaller
# must not touch.
mkdir -p "$WINEPREFIX/drive_c/Kelvora" "$data"
echo kept >"$WINEPREFIX/drive_c/Kelvora/saved.txt"
echo kept >"$data/archive.sqlite"
wine_run reg add 'HKCU\Software\Kelvora\Kelvora\interface' /v language /d en /f >/dev/null

wine_run "dist/Kelvora-$newer-win64.exe" /S
[ "$(installed_version)" = "$newer" ] || fail "the newer installer did not replace $version"
[ -f "$folder/kelvora.exe" ] || fail "kelvora.exe is gone after the upgrade"

# The uninstaller copies itself away and ends at once; its copy removes the folder.
wine_run "$folder/Uninstall.exe" /S
for wait in $(seq 1 60); do
    [ -d "$folder" ] || break
    sleep 1
done
[ -d "$folder" ] && fail "$folder is left after the uninstall"
[ -e "$menu" ] && fail "the Start-menu entry is left after the uninstall"
[ -z "$(installed_version)" ] || fail "Apps & Features still lists Kelvora"
[ -f "$WINEPREFIX/drive_c/Kelvora/saved.txt" ] || fail "the uninstall removed the user's file"
[ "$(cat "$data/archive.sqlite")" = kept ] || fail "the uninstall removed the user's archive"
wine_run reg query 'HKCU\Software\Kelvora\Kelvora\interface' /v language >/dev/null 2>&1 ||
    fail "the uninstall removed the user's settings"
echo "kelvora: installer test passed (Kelvora-$version-win64.exe, upgraded to $newer, uninstalled)"
