#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "link/crc16.h"

namespace kelvora::testing {
namespace {

// Bit by bit, straight from the definition of CRC-16/MODBUS; shares nothing with the tables.
uint16_t bitwiseCrc(const std::vector<uint8_t>& data, size_t from = 0, size_t to = SIZE_MAX) {
    uint16_t crc = 0xFFFF;
    for (size_t at = from; at < std::min(to, data.size()); ++at) {
        crc ^= data[at];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        }
    }
    return crc;
}

uint16_t tableCrc(const std::vector<uint8_t>& data, int start, int length) {
    uint8_t high = 0x55;
    uint8_t low = 0x55;
    Crc16(data.data(), data.size(), start, length, high, low);
    return static_cast<uint16_t>(high << 8 | low);
}

uint16_t tableCrc(const std::vector<uint8_t>& data) {
    return tableCrc(data, 0, static_cast<int>(data.size()));
}

TEST(CrcTables, BeginAndEndAsPrintedInTheModbusStandard) {
    const uint8_t highHead[] = {0x00, 0xC1, 0x81, 0x40, 0x01, 0xC0, 0x80, 0x41};
    const uint8_t lowHead[] = {0x00, 0xC0, 0xC1, 0x01, 0xC3, 0x03, 0x02, 0xC2};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(GetCRCh(k), highHead[k]) << "GetCRCh(" << k << ")";
        EXPECT_EQ(GetCRCl(k), lowHead[k]) << "GetCRCl(" << k << ")";
    }
    EXPECT_EQ(GetCRCh(255), 0x40);
    EXPECT_EQ(GetCRCl(255), 0x40);
}

TEST(CrcTables, EveryEntryIsEightShiftRoundsOfItsIndex) {
    for (int k = 0; k < 256; ++k) {
        uint16_t entry = static_cast<uint16_t>(k);
        for (int round = 0; round < 8; ++round) {
            entry = (entry & 1) ? static_cast<uint16_t>((entry >> 1) ^ 0xA001) : entry >> 1;
        }
        EXPECT_EQ(GetCRCh(k), entry & 0xFF) << k;
        EXPECT_EQ(GetCRCl(k), entry >> 8) << k;
    }
}

struct CrcVector {
    const char* name;
    std::vector<uint8_t> data;
    uint8_t crcHigh;
    uint8_t crcLow;
};

class CrcVectors : public ::testing::TestWithParam<CrcVector> {};

TEST_P(CrcVectors, GivesBothBytes) {
    const CrcVector& vector = GetParam();
    uint8_t high = 0;
    uint8_t low = 0;
    Crc16(vector.data.data(), vector.data.size(), 0, static_cast<int>(vector.data.size()), high,
          low);
    EXPECT_EQ(high, vector.crcHigh);
    EXPECT_EQ(low, vector.crcLow);
}

INSTANTIATE_TEST_SUITE_P(
    Known, CrcVectors,
    ::testing::Values(
        CrcVector{"Empty", {}, 0xFF, 0xFF},
        CrcVector{"ReadOneRegister", {0x01, 0x03, 0x00, 0x00, 0x00, 0x01}, 0x0A, 0x84},
        CrcVector{"Handshake", {0x01, 0x03, 0x00, 0x01, 0x55, 0x77}, 0x7C, 0x6B},
        CrcVector{"LiveReading", {0x01, 0x03, 0x00, 0x02, 0x00, 0x0A}, 0x0D, 0x64},
        CrcVector{"RecordCount", {0x01, 0x03, 0x00, 0x03, 0x00, 0x02}, 0x0B, 0x34},
        CrcVector{"Record1", {0x01, 0x03, 0x00, 0x04, 0x00, 0x01}, 0xCB, 0xC5},
        CrcVector{"HandshakeReplyPayload", {0x01, 0x03, 0x02, 0xAA, 0xBB}, 0x97, 0x86},
        // The catalogue check value of CRC-16/MODBUS.
        CrcVector{"Check123456789", {'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x4B, 0x37}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Crc16, MatchesBitwiseDefinitionOverRandomData) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int length = 0; length <= 300; ++length) {
        std::vector<uint8_t> data(static_cast<size_t>(length));
        for (uint8_t& value : data) {
            value = static_cast<uint8_t>(byte(random));
        }
        ASSERT_EQ(tableCrc(data), bitwiseCrc(data)) << "length " << length;
    }
}

TEST(Crc16, WholeFrameWithItsOwnCheckLowByteFirstGivesZero) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int length = 1; length <= 64; ++length) {
        std::vector<uint8_t> frame(static_cast<size_t>(length));
        for (uint8_t& value : frame) {
            value = static_cast<uint8_t>(byte(random));
        }
        const uint16_t crc = tableCrc(frame);
        frame.push_back(static_cast<uint8_t>(crc & 0xFF));
        frame.push_back(static_cast<uint8_t>(crc >> 8));
        EXPECT_EQ(tableCrc(frame), 0) << "length " << length;
    }
}

TEST(Crc16, ReplyChecksOnlyWithCrcBytesInWireOrder) {
    EXPECT_EQ(tableCrc({0x01, 0x03, 0x02, 0xAA, 0xBB, 0x86, 0x97}), 0);
    EXPECT_NE(tableCrc({0x01, 0x03, 0x02, 0xAA, 0xBB, 0x97, 0x86}), 0);
}

TEST(Crc16, StartIndexCoversOnlyTheBytesFromThere) {
    const std::vector<uint8_t> buffer = {0xEE, 0xDD, 0x01, 0x03, 0x00, 0x01, 0x55, 0x77, 0xCC};
    const std::vector<uint8_t> copy(buffer.begin() + 2, buffer.begin() + 8);
    EXPECT_EQ(tableCrc(buffer, 2, 6), tableCrc(copy));
    EXPECT_EQ(tableCrc(buffer, 2, 6), 0x7C6B);
    for (int start = 0; start < static_cast<int>(buffer.size()); ++start) {
        EXPECT_EQ(tableCrc(buffer, start, 3), bitwiseCrc(buffer, start, start + 3)) << start;
    }
}

TEST(Crc16, RangeOutsideTheBufferIsClippedNeverRead) {
    const std::vector<uint8_t> buffer = {0x01, 0x03, 0x00, 0x01, 0x55, 0x77};
    struct Case {
        int start;
        int length;
        uint16_t expected;
    };
    const Case cases[] = {
        {0, 100, 0x7C6B},                    // length past the end: up to the end
        {6, 4, 0xFFFF},                      // start at the end: nothing covered
        {1000, 1, 0xFFFF}, {-1, 3, 0xFFFF},  // negative start: nothing covered
        {0, 0, 0xFFFF},    {0, -5, 0xFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tableCrc(buffer, c.start, c.length), c.expected)
            << "start " << c.start << " length " << c.length;
    }
    uint8_t high = 0;
    uint8_t low = 0;
    Crc16(nullptr, 0, 0, 4, high, low);
    EXPECT_EQ(high, 0xFF);
    EXPECT_EQ(low, 0xFF);
}

}  // namespace
}  // namespace kelvora::testing
