#include "records/value_text.h"

#include <QLocale>

namespace kelvora {

QString unitText(uint8_t rangeCode) {
    switch (rangeCode & 0xF0) {
        case 0x10:
            return QStringLiteral("Ω");
        case 0x20:
            return QStringLiteral("KΩ");
        case 0x30:
            return QStringLiteral("Ωm");
        case 0x40:
            return QStringLiteral("KΩm");
        case 0x50:
            return QStringLiteral("V");
        case 0x60:
            return QStringLiteral("m");
        case 0x70:
            return QStringLiteral("mA");
        case 0x80:
            return QStringLiteral("A");
        default:
            return QString();
    }
}

QString GetValueText(uint8_t high, uint8_t low, uint8_t rangeCode,
                     const QString& decimalSeparator) {
    const QString unit = unitText(rangeCode);
    if (unit.isEmpty()) {
        return QString();
    }
    const unsigned raw = static_cast<unsigned>(high) * 256u + low;
    if (raw == kOverloadRaw) {
        return QStringLiteral("OL ") + unit;
    }
    const int decimals = rangeCode & 0x0F;
    if (decimals > 3) {
        return unit;
    }
    // Zeros in front so that one digit always stands before the separator: 5 -> "0005" -> 0.005.
    QString digits = QString::number(raw).rightJustified(decimals + 1, QLatin1Char('0'));
    if (decimals > 0) {
        digits.insert(digits.size() - decimals, decimalSeparator);
    }
    return digits + unit;
}

QString GetValueText(uint8_t high, uint8_t low, uint8_t rangeCode) {
    return GetValueText(high, low, rangeCode, QLocale().decimalPoint());
}

}  // namespace kelvora
