#!/bin/sh
# Keeps the rooms in layers. Every folder with a kelvora_room() call in its CMakeLists.txt is a
# room; it may include its own headers and those of the rooms its USES names, nothing else, and
# the uses of all rooms together must have no cycle. Prints each offence as FILE:LINE and exits 1.
# Usage: scripts/check-layers.sh [TREE]   (default: this source tree)
set -u
tree="${1:-$(dirname "$0")/..}"
cd "$tree" || exit 2
work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT

# One line a room: the room, then the rooms it uses.
for list in */CMakeLists.txt; do
    awk -v folder="${list%/CMakeLists.txt}" '
        { sub(/#.*/, ""); text = text " " $0 }
        END {
            while ((start = index(text, "kelvora_room(")) > 0) {
                text = substr(text, start + length("kelvora_room("))
                stop = index(text, ")")
                n = split(substr(text, 1, stop - 1), word, /[ \t]+/)
                text = substr(text, stop + 1)
                room = ""; part = ""; uses = ""
                for (k = 1; k <= n; k++) {
                    if (word[k] == "") continue
                    if (room == "") { room = word[k]; continue }
                    if (word[k] == "USES" || word[k] == "LIBS") { part = word[k]; continue }
                    if (part == "USES") uses = uses " " word[k]
                }
                if (room != folder) {
                    printf "%s/CMakeLists.txt: room %s must be named after its folder\n", \
                        folder, room > "/dev/stderr"
                    exit 1
                }
                print room uses
            }
        }' "$list" || exit 1
done >"$work/rooms"

failed=0
# A use that names no room.
while read -r room uses; do
    for used in $uses; do
        if ! grep -q "^$used\( \|\$\)" "$work/rooms"; then
            echo "$room/CMakeLists.txt: room $room uses $used, which is no room"
            failed=1
        fi
    done
done <"$work/rooms"

# Every quoted include of another room's header must be of a room this one uses.
while read -r room uses; do
    for file in "$room"/*.h "$room"/*.cpp "$room"/*.c; do
        [ -f "$file" ] || continue
        grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]*/' "$file" |
            sed 's/^\([0-9]*\):[^"]*"\([^"/]*\)\/[^"]*".*/\1 \2/' |
            while read -r line target; do
                if [ "$target" = "$room" ]; then
                    continue
                fi
                case " $uses " in
                    *" $target "*) continue ;;
                esac
                if grep -q "^$target\( \|\$\)" "$work/rooms"; then
                    echo "$file:$line: includes $target/, a room that $room does not use" \
                        "(USES in $room/CMakeLists.txt)"
                else
                    echo "$file:$line: includes $target/, which is no room"
                fi
            done
    done
done <"$work/rooms" >"$work/includes"
if [ -s "$work/includes" ]; then
    cat "$work/includes"
    failed=1
fi

# The uses as a graph: tsort names the rooms of a cycle.
while read -r room uses; do
    echo "$room $room"
    for used in $uses; do
        echo "$room $used"
    done
done <"$work/rooms" >"$work/edges"
if ! tsort "$work/edges" >/dev/null 2>"$work/cycle"; then
    echo "rooms in a cycle:" $(grep -v 'input contains a loop' "$work/cycle" | sed 's/^tsort: //')
    failed=1
fi

if [ "$failed" -eq 0 ]; then
    echo "layers: $(wc -l <"$work/rooms") rooms, no include against the layers, no cycle"
fi
exit "$failed"
