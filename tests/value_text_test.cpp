#include <gtest/gtest.h>

#include <QLocale>

#include "decode/value_text.h"

namespace kelvora::testing {
namespace {

struct ValueCase {
    uint8_t high;
    uint8_t low;
    uint8_t code;
    const char* text;  // UTF-8
};

void PrintTo(const ValueCase& c, std::ostream* out) {
    *out << std::hex << "high 0x" << int(c.high) << " low 0x" << int(c.low) << " code 0x"
         << int(c.code);
}

class ValueTexts : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTexts, WithFullStop) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(GetValueText(c.high, c.low, c.code, QStringLiteral(".")), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ValueTexts,
    ::testing::Values(ValueCase{0x04, 0xD2, 0x22, "12.34KΩ"}, ValueCase{0x04, 0xD2, 0x13, "1.234Ω"},
                      ValueCase{0x04, 0xD2, 0x31, "123.4Ωm"},
                      ValueCase{0xFF, 0xFF, 0x43, "65.535KΩm"},
                      ValueCase{0x00, 0x05, 0x13, "0.005Ω"}, ValueCase{0x00, 0x00, 0x61, "0.0m"},
                      ValueCase{0x01, 0xF4, 0x51, "50.0V"}, ValueCase{0x30, 0x39, 0x70, "12345mA"},
                      ValueCase{0x27, 0x10, 0x22, "OL KΩ"}, ValueCase{0x27, 0x10, 0x80, "OL A"},
                      ValueCase{0x27, 0x11, 0x21, "1000.1KΩ"}, ValueCase{0x00, 0x64, 0x24, "KΩ"},
                      ValueCase{0x00, 0x64, 0x02, ""}, ValueCase{0x27, 0x10, 0x95, ""}));

INSTANTIATE_TEST_SUITE_P(
    Edges, ValueTexts,
    ::testing::Values(
        // Only 10000 is the overload mark.
        ValueCase{0x27, 0x0F, 0x22, "99.99KΩ"}, ValueCase{0x27, 0x11, 0x22, "100.01KΩ"},
        ValueCase{0x27, 0x10, 0x23, "OL KΩ"}, ValueCase{0x27, 0x10, 0x2F, "OL KΩ"},
        // The same raw value with 0..3 decimals; 4 and more give the unit alone.
        ValueCase{0x04, 0xD2, 0x50, "1234V"}, ValueCase{0x04, 0xD2, 0x51, "123.4V"},
        ValueCase{0x04, 0xD2, 0x52, "12.34V"}, ValueCase{0x04, 0xD2, 0x53, "1.234V"},
        ValueCase{0x04, 0xD2, 0x54, "V"}, ValueCase{0x04, 0xD2, 0x5F, "V"},
        // Zeros in front, one digit before the separator, no grouping.
        ValueCase{0x00, 0x00, 0x13, "0.000Ω"}, ValueCase{0x00, 0x00, 0x10, "0Ω"},
        ValueCase{0x00, 0x2A, 0x13, "0.042Ω"}, ValueCase{0x00, 0x2A, 0x12, "0.42Ω"},
        ValueCase{0x00, 0x09, 0x11, "0.9Ω"}, ValueCase{0xFF, 0xFF, 0x80, "65535A"},
        ValueCase{0x03, 0xE8, 0x70, "1000mA"}, ValueCase{0xFF, 0xFF, 0x71, "6553.5mA"},
        // No unit: empty whatever the value.
        ValueCase{0x04, 0xD2, 0x01, ""}, ValueCase{0x04, 0xD2, 0x91, ""},
        ValueCase{0x04, 0xD2, 0xA2, ""}, ValueCase{0x04, 0xD2, 0xF3, ""},
        ValueCase{0x27, 0x10, 0x00, ""}, ValueCase{0x27, 0x10, 0xF0, ""}));

TEST(ValueTexts, OverloadMarkKeepsItsSpaceBeforeEveryUnit) {
    const struct {
        uint8_t unitNibble;
        const char* text;
    } units[] = {{0x10, "OL Ω"}, {0x20, "OL KΩ"}, {0x30, "OL Ωm"}, {0x40, "OL KΩm"},
                 {0x50, "OL V"}, {0x60, "OL m"},  {0x70, "OL mA"}, {0x80, "OL A"}};
    for (const auto& unit : units) {
        for (uint8_t decimals = 0; decimals < 16; ++decimals) {
            EXPECT_EQ(GetValueText(0x27, 0x10, unit.unitNibble | decimals, QStringLiteral(".")),
                      QString::fromUtf8(unit.text));
        }
    }
}

// Against a second, independent way of writing the number: floating point rounded to d places,
// which the meter's range makes exact.
TEST(ValueTexts, AgreesWithRoundedDivisionForEveryRawValue) {
    for (uint8_t decimals = 0; decimals <= 3; ++decimals) {
        const double scale = decimals == 0 ? 1 : decimals == 1 ? 10 : decimals == 2 ? 100 : 1000;
        for (unsigned raw = 0; raw <= 0xFFFF; ++raw) {
            if (raw == 10000) {
                continue;
            }
            const QString expected = QString::number(raw / scale, 'f', decimals) + "V";
            const QString text =
                GetValueText(static_cast<uint8_t>(raw >> 8), static_cast<uint8_t>(raw & 0xFF),
                             static_cast<uint8_t>(0x50 | decimals), ".");
            ASSERT_EQ(text, expected) << "raw " << raw << " decimals " << int(decimals);
        }
    }
}

class DefaultLocale : public ::testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(saved_); }

private:
    QLocale saved_;
};

TEST_F(DefaultLocale, SeparatorFollowsTheRegionalSettings) {
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(GetValueText(0x04, 0xD2, 0x22), QString::fromUtf8("12,34KΩ"));
    EXPECT_EQ(GetValueText(0xFF, 0xFF, 0x43), QString::fromUtf8("65,535KΩm"));
    EXPECT_EQ(GetValueText(0x30, 0x39, 0x70), QStringLiteral("12345mA"));  // no grouping
    EXPECT_EQ(GetValueText(0x27, 0x10, 0x22), QString::fromUtf8("OL KΩ"));

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(GetValueText(0x04, 0xD2, 0x22), QString::fromUtf8("12.34KΩ"));
    EXPECT_EQ(GetValueText(0x30, 0x39, 0x70), QStringLiteral("12345mA"));
}

}  // namespace
}  // namespace kelvora::testing
