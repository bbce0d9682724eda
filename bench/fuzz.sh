#!/bin/sh
# Builds the receive-handler fuzz target with clang, ASan and UBSan in build-fuzz/ and runs it
# for a bounded time. Usage: bench/fuzz.sh [seconds]   (default 600)
set -e
cd "$(dirname "$0")/.."
seconds="${1:-600}"
if [ ! -f build-fuzz/CMakeCache.txt ]; then
    CXX=clang++ CC=clang cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKELVORA_FUZZ=ON -DKELVORA_TESTS=OFF -DKELVORA_BENCH=ON >/dev/null
fi
cmake --build build-fuzz -j2 --target kelvora_fuzz_receive

# Seeds: one step per reply kind, framed with a valid CRC (op 0x01), after a reset that leaves
# the link down (first byte 0x00) or up on the live tab (0x03) or the record tab (0x01).
corpus=build-fuzz/fuzz-corpus
mkdir -p "$corpus"
seed() { printf "$2" >"$corpus/$1"; }
seed handshake '\000\001\000\001\125\167\005\001\003\002\252\273'
seed live '\003\001\000\002\000\012\015\001\003\012\004\322\042\074\000\310\001\054\000\062'
seed count '\001\001\000\003\000\002\005\001\003\002\000\005\021\000\000\000\001\000'
seed record '\001\001\000\004\000\003\015\001\003\012\004\322\061\000\000\310\001\054\000\062'
seed raw '\003\000\000\002\000\012\017\001\003\012\004\322\042\074\000\310\001\054\000\062\076\064'

# fontconfig keeps its caches for the life of the process; they are not leaks of ours.
printf 'leak:libfontconfig\n' >build-fuzz/lsan.supp
export LSAN_OPTIONS="suppressions=$PWD/build-fuzz/lsan.supp"
export QT_QPA_PLATFORM=offscreen
mkdir -p build-fuzz/fuzz-artifacts
exec build-fuzz/bench/kelvora_fuzz_receive -max_total_time="$seconds" -print_final_stats=1 \
    -max_len=512 -artifact_prefix=build-fuzz/fuzz-artifacts/ "$corpus"
