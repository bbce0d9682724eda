#!/bin/sh
# The layer check on a tree with one upward include and one cycle: it must fail and name both.
# Usage: tests/check_layers_test.sh CHECK-SCRIPT
check="$1"
fixture="$(dirname "$0")/layers"
output=$(sh "$check" "$fixture") && { echo "passed a tree against the layers"; exit 1; }
for expected in "low/low.h:1: includes high/, a room that low does not use" \
    "rooms in a cycle:" "loop" "ring"; do
    case "$output" in
        *"$expected"*) ;;
        *) echo "not said: $expected"; echo "$output"; exit 1 ;;
    esac
done
if printf '%s\n' "$output" | grep -q "high/high.h"; then
    echo "a downward include was refused"; echo "$output"; exit 1
fi
