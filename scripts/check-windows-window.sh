#!/bin/sh
# The program's window under Wine: kelvora.exe (without --demo) with COM3 on a pseudo-terminal.
# Passes when the window shows, its tab captions look as in tests/data/windows/captions.png
# and, in one of the screenshots taken while the port search goes round, the port label looks
# as in tests/data/windows/port-label-com3.png ("COM3已打开"). Run it inside an X display
# (xvfb-run -a); the screenshots stay in build-windows/window-check/. Another program (an
# installed kelvora.exe) and another folder for the screenshots may be given:
# check-windows-window.sh [PROGRAM [FOLDER]].
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
program=${1:-build-windows/kelvora.exe}
out=${2:-build-windows/window-check}
reference=tests/data/windows
export WINEPREFIX="${WINEPREFIX:-$root/build-windows/wine}"
rm -rf "$out"
mkdir -p "$out"

fail() {
    echo "kelvora: window check: $*" >&2
    exit 1
}

set_com3() {
    scripts/wine-run.sh reg add 'HKLM\Software\Wine\Ports' /v COM3 /d "$1" /f >/dev/null 2>&1
    wineserver -w  # Wine maps its ports when it starts
}

# Whether the region WxH+X+Y of a screenshot matches a reference picture (a few pixels may
# differ, as anti-aliased edges do).
matches() {
    convert "$1" -crop "$2" +repage "$out/crop.png"
    differing=$(compare -metric AE -fuzz 25% "$out/crop.png" "$3" null: 2>&1 || true)
    [ "${differing%%.*}" -lt 40 ] 2>/dev/null
}

wineserver -w
python3 scripts/pty_holder.py 180 </dev/null >"$out/pty" &
holder=$!
app=""
trap 'kill $app $holder 2>/dev/null; wineserver -k 2>/dev/null; wineserver -w; set_com3 ""' EXIT
for wait in 1 2 3 4 5 6 7 8 9 10; do
    pty=$(cat "$out/pty" 2>/dev/null || true)
    [ -n "$pty" ] && break
    sleep 1
done
[ -n "$pty" ] || fail "no pseudo-terminal"
set_com3 "$pty"

scripts/wine-run.sh "$program" --lang zh >"$out/kelvora.log" 2>&1 &  # the captions compared
app=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Kelvora$' | head -1)
[ -n "$window" ] || fail "the window did not show"
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y, WIDTH, HEIGHT
echo "kelvora: window ${WIDTH}x${HEIGHT} at $X,$Y" >&2

# The client area starts below the menu bar (22 pixels at 96 dpi).
top=$((Y + 22))
captions="190x26+$((X + 54))+$((top + 104))"
label="113x25+$((X + 680))+$((top + 8))"
shot=0
while [ $shot -lt 60 ]; do
    shot=$((shot + 1))
    import -window root "$out/shot.png"
    if matches "$out/shot.png" "$label" "$reference/port-label-com3.png"; then
        mv "$out/shot.png" "$out/window.png"
        matches "$out/window.png" "$captions" "$reference/captions.png" ||
            fail "the tab captions differ from $reference/captions.png (see $out/window.png)"
        echo "kelvora: window check passed (screenshot $out/window.png)" >&2
        exit 0
    fi
    cp "$out/shot.png" "$out/shot$shot.png"
done
fail "the port label never read COM3已打开 (see $out/shot*.png)"
