#include <gtest/gtest.h>

#include <QLocale>

#include "records/value_text.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

// Overload only at 10000; 4 decimals or more: the unit alone; unit nibble 0 or >= 9: nothing.
TEST(ValueText, WorkedExamplesAndEdges) {
    // Raw value, range code, text.
    const std::tuple<uint16_t, uint8_t, const char*> cases[] = {
        {0x04D2, 0x22, "12.34KΩ"},   {0x04D2, 0x13, "1.234Ω"},   {0x04D2, 0x31, "123.4Ωm"},
        {0xFFFF, 0x43, "65.535KΩm"}, {0x0005, 0x13, "0.005Ω"},   {0x01F4, 0x51, "50.0V"},
        {0x3039, 0x70, "12345mA"},   {0x007B, 0x72, "1.23mA"},   {0x0000, 0x61, "0.0m"},
        {0x0000, 0x10, "0Ω"},        {0xFFFF, 0x80, "65535A"},   {0x2710, 0x8F, "OL A"},
        {0x270F, 0x22, "99.99KΩ"},   {0x2711, 0x22, "100.01KΩ"}, {0x04D2, 0x53, "1.234V"},
        {0x04D2, 0x54, "V"},         {0x04D2, 0x5F, "V"},        {0x04D2, 0x01, ""},
        {0x04D2, 0x91, ""},          {0x04D2, 0xF3, ""},         {0x2710, 0x00, ""},
        {0x2710, 0x95, ""},          {0x2711, 0x21, "1000.1KΩ"}, {0x0064, 0x24, "KΩ"},
        {0x0064, 0x02, ""}};
    for (const auto& [raw, code, text] : cases)
        EXPECT_EQ(GetValueText(raw >> 8, raw & 0xFF, code, QStringLiteral(".")),
                  QString::fromUtf8(text))
            << std::hex << raw << " " << +code;
    // The overload mark keeps its space before each of the eight units, whatever the decimals.
    const char* const units[] = {"Ω", "KΩ", "Ωm", "KΩm", "V", "m", "mA", "A"};
    for (int unit = 1; unit <= 8; ++unit)
        EXPECT_EQ(GetValueText(0x27, 0x10, unit << 4 | unit % 4, QStringLiteral(".")),
                  QStringLiteral("OL ") + QString::fromUtf8(units[unit - 1]));
}

TEST(ValueText, SeparatorFollowsTheDefaultLocaleWithoutGrouping) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(GetValueText(0x04, 0xD2, 0x22), QString::fromUtf8("12,34KΩ"));
    EXPECT_EQ(GetValueText(0x30, 0x39, 0x70), QStringLiteral("12345mA"));
    EXPECT_EQ(GetValueText(0x27, 0x10, 0x22), QString::fromUtf8("OL KΩ"));
    QLocale::setDefault(saved);
}

}  // namespace
}  // namespace kelvora::testing
