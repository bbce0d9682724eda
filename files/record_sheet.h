#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "files/soil_sheet.h"
#include "formats/text_lines.h"

namespace kelvora {

class RecordModel;

// The record table as the CSV and .xlsx files hold it: the eight text columns as shown, then
// one numeric column per value column in its base unit. Row 0 holds the headers.
class RecordSheet {
public:
    static constexpr int kTextColumns = 8;
    static constexpr int kNumberColumns = 7;
    static constexpr int kColumns = kTextColumns + kNumberColumns;

    RecordSheet(const RecordCells& cells, const RecordModel& records)
        : cells_(cells), records_(records) {}

    int rows() const { return cells_.rows; }
    // Cell text of a text column; the header of a numeric column in row 0 ("R/Ω" ...).
    QString text(int row, int column) const;
    // Number of a numeric column below the header; nothing for an overload, a value the
    // record does not have, or a row without a record.
    std::optional<double> number(int row, int column) const;
    // What a cell shows in the CSV file: its text or its number with a dot, "" when empty.
    QString shown(int row, int column) const;

private:
    const RecordCells& cells_;
    const RecordModel& records_;
};

// A base-unit number with a dot as decimal separator and no exponent, as short as it is exact
// ("12340", "0.065535").
QString plainNumber(double number);

// The sheet as CSV: UTF-8 with a byte-order mark, CR LF, comma, quoted as RFC 4180 wants.
QByteArray recordCsv(const RecordSheet& sheet);

// Writes the sheet as an .xlsx workbook, safely as every other file, with the soil model's
// sheet after it when `soilModel` has rows. Returns the reason of a failure, empty on success.
QString writeRecordXlsx(const QString& path, const RecordSheet& sheet,
                        const SheetRows& soilModel = {});

}  // namespace kelvora
