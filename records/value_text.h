#pragma once

#include <QString>
#include <cstdint>

namespace kelvora {

// The meter's overload mark: this raw value, whatever the decimals.
constexpr uint16_t kOverloadRaw = 10000;

// Fixed range codes of the values whose unit the reply does not carry.
constexpr uint8_t kRangeCodeRcRp = 0x22;       // KΩ, two decimals
constexpr uint8_t kRangeCodeRhoLength = 0x61;  // m, one decimal

// Unit text of a range code's high nibble, empty when the nibble names no unit.
QString unitText(uint8_t rangeCode);

// Display text of a raw value (high byte first) and its range code, e.g. "12.34KΩ" or "OL KΩ";
// empty when the code names no unit. The digits are exact (integer arithmetic), with the given
// decimal separator and no grouping.
QString GetValueText(uint8_t high, uint8_t low, uint8_t rangeCode, const QString& decimalSeparator);

// As above with the decimal separator of the default locale (the user's regional settings).
QString GetValueText(uint8_t high, uint8_t low, uint8_t rangeCode);

}  // namespace kelvora
