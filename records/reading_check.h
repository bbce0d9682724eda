#pragma once

#include <QString>

#include "records/reply.h"

namespace kelvora {

// The meter's limits: a value is a raw 0..65535 with up to three decimals in its unit, so the
// largest it can show is 65535 of its largest unit (KΩ, KΩm, m with one decimal, A, V), and
// the smallest step of a spacing is 0.1 m, of a resistivity 0.001 Ωm.
double largestShown(ValueSlot slot);  // in the slot's base unit
constexpr double kSmallestSpacing = 0.1;
constexpr double kSmallestRho = 0.001;

// What is wrong with one value of a record file: its number (the numeric column) and its
// shown text must be a reading the meter could have made, and the same one.
enum class ReadingFault {
    None,
    NotFinite,    // a number column that holds no finite number
    Negative,     // below zero: no reading of the meter is
    BeyondMeter,  // more than the meter shows
    NotAReading,  // the text is not a value text of this column
    Disagrees,    // text and number are not the same value, or only one holds a number
};
ReadingFault checkReading(ValueSlot slot, const QString& text, const QString& numberField,
                          bool decimalComma);

// "negative", "not a finite number" ... in English, for the command line.
QString readingFaultText(ReadingFault fault);

}  // namespace kelvora
