#include "modbus/crc16.h"

#include <algorithm>
#include <array>

namespace kelvora {

namespace {

using ByteTable = std::array<uint8_t, 256>;

// T[k]: eight shift rounds of the reflected polynomial over k.
constexpr uint16_t tableEntry(unsigned k) {
    uint16_t value = static_cast<uint16_t>(k);
    for (int round = 0; round < 8; ++round) {
        value = (value & 1u) ? static_cast<uint16_t>((value >> 1) ^ 0xA001u)
                             : static_cast<uint16_t>(value >> 1);
    }
    return value;
}

// The two byte tables of the Modbus serial-line standard: "high-order" bytes are the low bytes
// of T[k] and "low-order" bytes its high bytes (the standard's running bytes are swapped).
constexpr ByteTable makeTable(bool highBytesOfEntry) {
    ByteTable table{};
    for (unsigned k = 0; k < 256; ++k) {
        const uint16_t entry = tableEntry(k);
        table[k] = static_cast<uint8_t>(highBytesOfEntry ? entry >> 8 : entry & 0xFF);
    }
    return table;
}

constexpr ByteTable kCrcHighTable = makeTable(false);
constexpr ByteTable kCrcLowTable = makeTable(true);

static_assert(kCrcHighTable[1] == 0xC1 && kCrcHighTable[255] == 0x40, "GetCRCh table");
static_assert(kCrcLowTable[1] == 0xC0 && kCrcLowTable[255] == 0x40, "GetCRCl table");

}  // namespace

uint8_t GetCRCh(int index) {
    return kCrcHighTable[static_cast<unsigned>(index) & 0xFFu];
}

uint8_t GetCRCl(int index) {
    return kCrcLowTable[static_cast<unsigned>(index) & 0xFFu];
}

void Crc16(const uint8_t* data, size_t size, int start, int length, uint8_t& crcHigh,
           uint8_t& crcLow) {
    uint8_t high = 0xFF;
    uint8_t low = 0xFF;
    if (data != nullptr && start >= 0 && length > 0 && static_cast<size_t>(start) < size) {
        const size_t end = std::min(size, static_cast<size_t>(start) + static_cast<size_t>(length));
        for (size_t at = static_cast<size_t>(start); at < end; ++at) {
            const uint8_t k = low ^ data[at];
            low = high ^ kCrcHighTable[k];
            high = kCrcLowTable[k];
        }
    }
    crcHigh = high;
    crcLow = low;
}

}  // namespace kelvora
