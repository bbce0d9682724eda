#include "records/reading_check.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace kelvora {

namespace {

struct Unit {
    const char* text;
    double factor;
};

// The units a column's text may carry and their factor to the base unit.
std::vector<Unit> unitsOf(ValueSlot slot) {
    switch (slot) {
        case ValueSlot::R:
        case ValueSlot::Rc:
        case ValueSlot::Rp:
            return {{"Ω", 1}, {"KΩ", 1000}};
        case ValueSlot::Rho:
            return {{"Ωm", 1}, {"KΩm", 1000}};
        case ValueSlot::RhoLength:
            return {{"m", 1}};
        case ValueSlot::I:
            return {{"mA", 0.001}, {"A", 1}};
        case ValueSlot::V:
            return {{"V", 1}};
    }
    return {};
}

}  // namespace

double largestShown(ValueSlot slot) {
    switch (slot) {
        case ValueSlot::Rc:
        case ValueSlot::Rp:
            return 655350;  // always KΩ with two decimals
        case ValueSlot::RhoLength:
            return 6553.5;  // always m with one decimal
        default:
            return 65535 * unitsOf(slot).back().factor;
    }
}

ReadingFault checkReading(ValueSlot slot, const QString& text, const QString& numberField,
                          bool decimalComma) {
    QString field = numberField.trimmed();
    std::optional<double> number;
    if (!field.isEmpty()) {
        if (decimalComma) {
            field.replace(QLatin1Char(','), QLatin1Char('.'));
        }
        bool ok = false;
        const double value = field.toDouble(&ok);
        if (!ok || !std::isfinite(value)) {
            return ReadingFault::NotFinite;
        }
        if (value < 0 || field.startsWith(QLatin1Char('-'))) {
            return ReadingFault::Negative;
        }
        if (value > largestShown(slot)) {
            return ReadingFault::BeyondMeter;
        }
        number = value;
    }
    // A value text: digits with up to three decimals (either separator), or "OL ", or
    // nothing, then the unit; or no text at all.
    static const QRegularExpression valueText(
        QStringLiteral("^(?:(\\d{1,5})(?:[.,](\\d{1,3}))?|OL )?(\\S+)$"));
    const QString shown = text.trimmed();
    if (shown.isEmpty()) {
        return number ? ReadingFault::Disagrees : ReadingFault::None;
    }
    const QRegularExpressionMatch match = valueText.match(shown);
    if (!match.hasMatch()) {
        return ReadingFault::NotAReading;
    }
    double factor = 0;
    for (const Unit& unit : unitsOf(slot)) {
        factor = match.captured(3) == QString::fromUtf8(unit.text) ? unit.factor : factor;
    }
    if (factor == 0) {
        return ReadingFault::NotAReading;
    }
    if (match.captured(1).isEmpty()) {
        return number ? ReadingFault::Disagrees : ReadingFault::None;
    }
    if (!number) {
        return ReadingFault::Disagrees;
    }
    const QString decimals = match.captured(2);
    const double digits =
        (match.captured(1) + QLatin1Char('.') + decimals + QLatin1Char('0')).toDouble();
    // The text is the number rounded to its decimals; a hair more for the binary fraction.
    const double step = std::pow(10.0, -double(decimals.size())) * factor;
    return std::abs(digits * factor - *number) <= step / 2 + 1e-9 * std::max(1.0, *number)
               ? ReadingFault::None
               : ReadingFault::Disagrees;
}

QString readingFaultText(ReadingFault fault) {
    switch (fault) {
        case ReadingFault::NotFinite:
            return QStringLiteral("its number is not a finite number");
        case ReadingFault::Negative:
            return QStringLiteral("its number is negative");
        case ReadingFault::BeyondMeter:
            return QStringLiteral("its number is more than the meter can show");
        case ReadingFault::NotAReading:
            return QStringLiteral("its text is not a reading");
        case ReadingFault::Disagrees:
            return QStringLiteral("its text and its number disagree");
        case ReadingFault::None:
            break;
    }
    return {};
}

}  // namespace kelvora
