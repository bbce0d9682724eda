#include <gtest/gtest.h>

#include "decode/reply.h"
#include "link/modbus_frame.h"
#include "support/fake_serial_port.h"

namespace kelvora::testing {
namespace {

TEST(MeasuringModes, ByUnitNibbleOnly) {
    const MeasuringMode byNibble[16] = {
        MeasuringMode::Unrecognised,    MeasuringMode::EarthResistance,
        MeasuringMode::EarthResistance, MeasuringMode::SoilResistivity,
        MeasuringMode::SoilResistivity, MeasuringMode::EarthVoltage,
        MeasuringMode::Unrecognised,    MeasuringMode::ClampCurrent,
        MeasuringMode::ClampCurrent,    MeasuringMode::Unrecognised,
        MeasuringMode::Unrecognised,    MeasuringMode::Unrecognised,
        MeasuringMode::Unrecognised,    MeasuringMode::Unrecognised,
        MeasuringMode::Unrecognised,    MeasuringMode::Unrecognised};
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(measuringModeOf(static_cast<uint8_t>(code)), byNibble[code >> 4]) << code;
    }
}

struct SlotCase {
    const char* name;
    const char* frame;
    std::vector<std::pair<ValueSlot, const char*>> texts;
};

class SlotTexts : public ::testing::TestWithParam<SlotCase> {};

TEST_P(SlotTexts, InTheOrderOfTheMode) {
    const SlotCase& c = GetParam();
    const std::optional<Reading> reading = parseReading(bytes(c.frame));
    ASSERT_TRUE(reading.has_value());
    const std::vector<SlotText> texts = slotTexts(*reading);
    ASSERT_EQ(texts.size(), c.texts.size());
    for (size_t at = 0; at < texts.size(); ++at) {
        EXPECT_EQ(texts[at].slot, c.texts[at].first) << at;
        EXPECT_EQ(texts[at].text, QString::fromUtf8(c.texts[at].second)) << at;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SlotTexts,
    ::testing::Values(
        SlotCase{"EarthResistance",
                 "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34",
                 {{ValueSlot::R, "12.34KΩ"}, {ValueSlot::Rc, "2.00KΩ"}, {ValueSlot::Rp, "3.00KΩ"}}},
        SlotCase{"SoilResistivity",
                 "01 03 0A 04 D2 31 00 00 C8 01 2C 00 32 83 2E",
                 {{ValueSlot::Rho, "123.4Ωm"},
                  {ValueSlot::Rc, "2.00KΩ"},
                  {ValueSlot::Rp, "3.00KΩ"},
                  {ValueSlot::RhoLength, "5.0m"}}},
        SlotCase{"EarthVoltage",
                 "01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87",
                 {{ValueSlot::V, "50.0V"}}},
        SlotCase{"ClampCurrent",
                 "01 03 0A 27 10 80 00 00 00 00 00 00 00 00 00",
                 {{ValueSlot::I, "OL A"}}},
        SlotCase{"UnknownUnitMetres", "01 03 0A 04 D2 61 3C 00 C8 01 2C 00 32 00 00", {}},
        SlotCase{"NoUnit", "01 03 0A 04 D2 02 3C 00 C8 01 2C 00 32 00 00", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordColumns, FollowTheHeaderRow) {
    const std::pair<ValueSlot, int> columns[] = {
        {ValueSlot::R, 1},  {ValueSlot::Rho, 2}, {ValueSlot::RhoLength, 3}, {ValueSlot::Rc, 4},
        {ValueSlot::Rp, 5}, {ValueSlot::I, 6},   {ValueSlot::V, 7}};
    for (const auto& [slot, column] : columns) {
        EXPECT_EQ(recordColumn(slot), column);
    }
}

TEST(ParseReading, FieldsAndStatusBits) {
    const std::optional<Reading> reading =
        parseReading(bytes("01 03 0A 12 34 22 3C 56 78 9A BC DE F0 00 00"));
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->main.raw(), 0x1234);
    EXPECT_EQ(reading->rangeCode, 0x22);
    EXPECT_EQ(reading->rc.raw(), 0x5678);
    EXPECT_EQ(reading->rp.raw(), 0x9ABC);
    EXPECT_EQ(reading->rhoLength.raw(), 0xDEF0);
    EXPECT_TRUE(reading->noise() && reading->hvolt() && reading->lowbat() && reading->clamp());

    const struct {
        uint8_t status;
        bool noise, hvolt, lowbat, clamp;
    } bits[] = {{0x04, true, false, false, false},  {0x08, false, true, false, false},
                {0x10, false, false, true, false},  {0x20, false, false, false, true},
                {0xC3, false, false, false, false}, {0xFF, true, true, true, true}};
    for (const auto& b : bits) {
        Reading r;
        r.status = b.status;
        EXPECT_EQ(r.noise(), b.noise) << int(b.status);
        EXPECT_EQ(r.hvolt(), b.hvolt) << int(b.status);
        EXPECT_EQ(r.lowbat(), b.lowbat) << int(b.status);
        EXPECT_EQ(r.clamp(), b.clamp) << int(b.status);
    }
}

TEST(ParseReplies, FramesShorterThanTheirLayoutAreNotRead) {
    const QByteArray reading = bytes("01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34");
    for (int length = 0; length < kReadingReplyLength; ++length) {
        EXPECT_FALSE(parseReading(reading.left(length)).has_value()) << length;
    }
    EXPECT_TRUE(parseReading(reading).has_value());

    const QByteArray count = bytes("01 03 02 00 05 78 47");
    for (int length = 0; length < kRecordCountReplyLength; ++length) {
        EXPECT_FALSE(parseRecordCount(count.left(length)).has_value()) << length;
    }
    EXPECT_EQ(parseRecordCount(count), 5);
    EXPECT_EQ(parseRecordCount(bytes("01 03 02 FF FE 00 00")), 0xFFFE);

    const QByteArray handshake = bytes("01 03 02 AA BB 86 97");
    for (int length = 0; length < kHandshakeReplyLength; ++length) {
        EXPECT_FALSE(isHandshakeReply(handshake.left(length))) << length;
    }
    EXPECT_TRUE(isHandshakeReply(handshake));
}

TEST(ParseReplies, HandshakeNeedsEveryLeadingByte) {
    const QByteArray good = bytes("01 03 02 AA BB 86 97");
    for (int position = 0; position < 5; ++position) {
        QByteArray bad = good;
        bad[position] = static_cast<char>(bad[position] ^ 0x01);
        EXPECT_FALSE(isHandshakeReply(bad)) << position;
    }
}

}  // namespace
}  // namespace kelvora::testing
