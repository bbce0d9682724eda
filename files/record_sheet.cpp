#include "files/record_sheet.h"

#include "records/record_model.h"

namespace kelvora {

namespace {

bool isNumberColumn(int column) {
    return column >= RecordSheet::kTextColumns && column < RecordSheet::kColumns;
}

ValueSlot slotOfNumberColumn(int column) {
    return kValueSlots[static_cast<size_t>(column - RecordSheet::kTextColumns)];
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

QString RecordSheet::text(int row, int column) const {
    if (column < kTextColumns) {
        return cells_.text(row, column);
    }
    if (row == 0 && isNumberColumn(column)) {
        const ValueSlot slot = slotOfNumberColumn(column);
        return cells_.text(0, recordColumn(slot)) + QLatin1Char('/') +
               QString::fromUtf8(baseUnit(slot));
    }
    return {};
}

std::optional<double> RecordSheet::number(int row, int column) const {
    if (row < 1 || !isNumberColumn(column)) {
        return std::nullopt;
    }
    const RecordValue& value = records_.record(row).value(slotOfNumberColumn(column));
    return value.hasNumber() ? std::optional<double>(value.number) : std::nullopt;
}

QString RecordSheet::shown(int row, int column) const {
    const std::optional<double> value = number(row, column);
    return value ? plainNumber(*value) : text(row, column);
}

QString plainNumber(double number) {
    // A value in a base unit has at most six decimals (mA with three decimals, in A).
    QString digits = QString::number(number, 'f', 6);
    while (digits.endsWith(QLatin1Char('0'))) {
        digits.chop(1);
    }
    if (digits.endsWith(QLatin1Char('.'))) {
        digits.chop(1);
    }
    return digits;
}

QByteArray recordCsv(const RecordSheet& sheet) {
    QString csv;
    for (int row = 0; row < sheet.rows(); ++row) {
        for (int column = 0; column < RecordSheet::kColumns; ++column) {
            if (column > 0) {
                csv += QLatin1Char(',');
            }
            csv += csvField(sheet.shown(row, column));
        }
        csv += QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + csv.toUtf8();
}

}  // namespace kelvora
