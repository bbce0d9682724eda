#!/bin/sh
# Builds a fuzz target with clang, ASan and UBSan in build-fuzz/ and runs it for a bounded time.
# Usage: bench/fuzz.sh [receive|download] [seconds]   (default: receive, 600 s)
#   receive:  the receive handler, replies to any request in any order
#   download: the record download, Read pressed and every request answered by the input
set -e
cd "$(dirname "$0")/.."
target=receive
case "$1" in
receive | download)
    target="$1"
    shift
    ;;
esac
seconds="${1:-600}"
if ! command -v clang++ >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq && $sudo apt-get install -y -qq clang >/dev/null
fi
if [ ! -f build-fuzz/CMakeCache.txt ]; then
    CXX=clang++ CC=clang cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKELVORA_FUZZ=ON -DKELVORA_TESTS=OFF -DKELVORA_BENCH=ON >/dev/null
fi
cmake --build build-fuzz -j2 --target "kelvora_fuzz_$target"

corpus="build-fuzz/fuzz-corpus-$target"
mkdir -p "$corpus"
seed() { printf "$2" >"$corpus/$1"; }
if [ "$target" = receive ]; then
    # One step per reply kind, framed with a valid CRC (op 0x01), after a reset that leaves
    # the link down (first byte 0x00) or up on the live tab (0x03) or the record tab (0x01).
    seed handshake '\000\001\000\001\125\167\005\001\003\002\252\273'
    seed live '\003\001\000\002\000\012\015\001\003\012\004\322\042\074\000\310\001\054\000\062'
    seed count '\001\001\000\003\000\002\005\001\003\002\000\005\021\000\000\000\001\000'
    seed record '\001\001\000\004\000\003\015\001\003\012\004\322\061\000\000\310\001\054\000\062'
    seed raw '\003\000\000\002\000\012\017\001\003\012\004\322\042\074\000\310\001\054\000\062\076\064'
    maxlen=512
else
    # A count, then one step per tick (see fuzz_download.cpp): all answered at once, late,
    # dropped and asked again, corrupted, from another address, cut, garbage, a huge count.
    seed prompt '\007\005\007\000\007\000\007\000\007\000\007\000'
    seed late '\007\004\001\006\001\007\001\010\001\003\001\005\001\010'
    seed dropped '\007\003\000\000\000\000\000\000\000\000\000\000\001\002\000\000\000\000\000'
    seed faulty '\007\004\002\000\003\001\004\007\005\003\006\020\101\102\103\104'
    seed huge '\017\000\177\377\007\000\007\000\000\000\000\000'
    maxlen=256
fi

# fontconfig keeps its caches for the life of the process; they are not leaks of ours.
printf 'leak:libfontconfig\n' >build-fuzz/lsan.supp
export LSAN_OPTIONS="suppressions=$PWD/build-fuzz/lsan.supp"
export QT_QPA_PLATFORM=offscreen
mkdir -p build-fuzz/fuzz-artifacts
exec "build-fuzz/bench/kelvora_fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    -max_len="$maxlen" -timeout=30 -artifact_prefix="build-fuzz/fuzz-artifacts/$target-" "$corpus"
