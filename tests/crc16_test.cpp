#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "modbus/crc16.h"

namespace kelvora::testing {
namespace {

// CRC-16/MODBUS bit by bit, sharing nothing with the product's tables.
uint16_t bitwiseCrc(const std::vector<uint8_t>& data, size_t from, size_t to) {
    uint16_t crc = 0xFFFF;
    for (size_t at = from; at < to; ++at) {
        crc ^= data[at];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

// The product's CRC as high << 8 | low, over the whole buffer unless a length is given.
uint16_t crc(const std::vector<uint8_t>& data, int start = 0, int length = -1) {
    uint8_t high = 0x55, low = 0x55;
    Crc16(data.data(), data.size(), start, length < 0 ? int(data.size()) : length, high, low);
    return static_cast<uint16_t>(high << 8 | low);
}

// Also: no bytes give 0xFFFF, and a frame followed by its own CRC, low byte first, gives 0.
TEST(Crc16, MatchesTheBitwiseDefinitionFromAnyStart) {
    std::mt19937 random(20261206);
    for (size_t length = 0; length <= 300; ++length) {
        std::vector<uint8_t> data(length);
        for (uint8_t& value : data) value = static_cast<uint8_t>(random());
        const uint16_t whole = crc(data);
        ASSERT_EQ(whole, bitwiseCrc(data, 0, length)) << "length " << length;
        ASSERT_EQ(crc(data, 0, int(length) + 4), whole) << "a range past the end is clipped";
        const size_t start = length / 3;
        ASSERT_EQ(crc(data, int(start), int(length - start)), bitwiseCrc(data, start, length));
        data.push_back(static_cast<uint8_t>(whole & 0xFF));  // low byte first, as on the wire
        data.push_back(static_cast<uint8_t>(whole >> 8));
        ASSERT_EQ(crc(data), 0) << "whole frame, length " << length;
    }
}

}  // namespace
}  // namespace kelvora::testing
