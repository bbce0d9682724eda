#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "bench/bench.h"
#include "modbus/crc16.h"
#include "modbus/modbus_frame.h"

namespace kelvora::bench {

namespace {

using Clock = BenchClock;

volatile uint8_t sink = 0;

}  // namespace

void runLinkBenchmarks() {
    constexpr size_t kBufferSize = 16u << 20;
    std::vector<uint8_t> buffer(kBufferSize);
    std::mt19937 random(1);
    for (uint8_t& byte : buffer) {
        byte = static_cast<uint8_t>(random());
    }

    // CRC over a large buffer, in pieces that fit the 16-bit length of a frame check.
    constexpr int kPiece = 32768;
    constexpr int kRounds = 8;
    uint8_t high = 0;
    uint8_t low = 0;
    const Clock::time_point bulkStart = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        for (size_t at = 0; at < kBufferSize; at += kPiece) {
            Crc16(buffer.data(), buffer.size(), static_cast<int>(at), kPiece, high, low);
            sink ^= high ^ low;
        }
    }
    const double bulkSeconds = secondsSince(bulkStart);
    printFigure("link: CRC-16 throughput, 128 MiB in 32 KiB pieces",
                kRounds * (kBufferSize / 1e6) / bulkSeconds, "MB/s");

    constexpr int kFrames = 2'000'000;
    const Clock::time_point frameStart = Clock::now();
    for (int frame = 0; frame < kFrames; ++frame) {
        Crc16(buffer.data(), buffer.size(), (frame * 8) & 0xFFFF, 8, high, low);
        sink ^= high ^ low;
    }
    printFigure("link: CRC-16 over one 8-byte frame", secondsSince(frameStart) * 1e9 / kFrames,
                "ns");

    const Clock::time_point buildStart = Clock::now();
    for (int frame = 0; frame < kFrames; ++frame) {
        const RequestFrame built =
            buildRequestFrame(Request::storedRecord(static_cast<uint16_t>(frame & 0x7FFF)));
        sink ^= built[6] ^ built[7];
    }
    printFigure("link: build one request frame (fields + CRC)",
                secondsSince(buildStart) * 1e9 / kFrames, "ns");
}

}  // namespace kelvora::bench
