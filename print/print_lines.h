#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace kelvora {

// Captions of the live value labels, as the printout reads them.
struct LiveCaptions {
    QString r, rc, rp, p, pLength, v, i;
};

// Every line of the live-tab printout for a measuring mode: the heading and value lines of
// that mode (none for a mode outside 1..4), then the closing line of five spaces.
QStringList livePrintLines(int measureMode, const LiveCaptions& captions);

constexpr int kPrintColumns = 8;
using PrintRowCells = std::array<QString, kPrintColumns>;
// Spaces between column k and k + 1.
using ColumnGaps = std::array<int, kPrintColumns - 1>;

// The eight cells joined in column order; empty cells keep their gaps.
QString joinRecordCells(const PrintRowCells& cells, const ColumnGaps& gaps);

// The header row (row 0) as printed.
QString recordHeaderLine(const PrintRowCells& header);

// A record row as printed, its gaps chosen by the first non-empty column among R, ρ, I, V;
// no line when all four are empty.
std::optional<QString> recordRowLine(const PrintRowCells& row);

// Reads cell (row, column) of the record table; empty for a cell the table does not have.
using RecordCellReader = std::function<QString(int row, int column)>;

// The record-tab printout: the header line, then a line for each of rows 1..n that holds a
// value, n being recordTotal when above 0 and 1 otherwise. Rows past tableRows - 1 are not
// read: the table was cleared or the download has not reached them.
QStringList recordTablePrintLines(const RecordCellReader& cell, int tableRows, int recordTotal);

}  // namespace kelvora
