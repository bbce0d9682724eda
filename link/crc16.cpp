#include "link/crc16.h"

#include <algorithm>
#include <array>

namespace kelvora {

namespace {

// T[k]: eight rounds of the reflected polynomial over k. GetCRCh serves its low byte and
// GetCRCl its high byte, which are the two printed tables of the Modbus serial-line standard.
constexpr std::array<uint16_t, 256> makeTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned k = 0; k < 256; ++k) {
        uint16_t value = static_cast<uint16_t>(k);
        for (int round = 0; round < 8; ++round) {
            value = (value & 1u) ? static_cast<uint16_t>((value >> 1) ^ 0xA001u)
                                 : static_cast<uint16_t>(value >> 1);
        }
        table[k] = value;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kTable = makeTable();

}  // namespace

uint8_t GetCRCh(int index) { return static_cast<uint8_t>(kTable[index & 0xFF] & 0xFF); }

uint8_t GetCRCl(int index) { return static_cast<uint8_t>(kTable[index & 0xFF] >> 8); }

void Crc16(const uint8_t* data, size_t size, int start, int length, uint8_t& crcHigh,
           uint8_t& crcLow) {
    uint8_t high = 0xFF;
    uint8_t low = 0xFF;
    if (data != nullptr && start >= 0 && length > 0 && static_cast<size_t>(start) < size) {
        const size_t end = std::min(size, static_cast<size_t>(start) + static_cast<size_t>(length));
        for (size_t at = static_cast<size_t>(start); at < end; ++at) {
            const uint8_t k = low ^ data[at];
            low = high ^ GetCRCh(k);
            high = GetCRCl(k);
        }
    }
    crcHigh = high;
    crcLow = low;
}

}  // namespace kelvora
