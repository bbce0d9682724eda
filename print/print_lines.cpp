#include "print/print_lines.h"

namespace kelvora {

namespace {

QString spaces(int count) {
    return QString(count, QLatin1Char(' '));
}

// The printout lays columns out with runs of spaces only, so these widths are the layout.
const QString kIndent = spaces(9);
const QString kValueIndent = spaces(2);
const QString kClosingLine = spaces(5);

constexpr ColumnGaps kHeaderGaps = {2, 6, 6, 7, 6, 12, 12};

struct RowRule {
    int column;  // the rule applies when this column is the first non-empty of R, ρ, I, V
    ColumnGaps gaps;
};

constexpr int kColumnR = 1;
constexpr int kColumnRho = 2;
constexpr int kColumnI = 6;
constexpr int kColumnV = 7;

// Tested in this order; a row with both R and I counts as a resistance row.
constexpr RowRule kRowRules[] = {
    {kColumnR, {2, 6, 8, 11, 2, 7, 7}},
    {kColumnRho, {2, 6, 6, 7, 2, 7, 7}},
    {kColumnI, {2, 6, 6, 7, 6, 27, 7}},
    {kColumnV, {2, 6, 6, 7, 6, 27, 13}},
};

}  // namespace

QStringList livePrintLines(int measureMode, const LiveCaptions& c) {
    QStringList lines;
    switch (measureMode) {
        case 1:
            lines << kIndent + QStringLiteral("    R    ") + QStringLiteral("   Rc    ") +
                         QStringLiteral("    Rp   ");
            lines << kIndent + kValueIndent + c.r + spaces(3) + c.rc + spaces(3) + c.rp;
            break;
        case 2:
            lines << kIndent + QStringLiteral("    ρ    ") + QStringLiteral("   ρ length    ") +
                         QStringLiteral("   Rc   ") + QStringLiteral("      Rp    ");
            lines << kIndent + kValueIndent + c.p + spaces(5) + c.pLength + spaces(7) + c.rc +
                         spaces(2) + c.rp;
            break;
        case 3:
            lines << kIndent + QStringLiteral("    V:    ") + c.v;
            break;
        case 4:
            lines << kIndent + QStringLiteral("    I:    ") + c.i;
            break;
        default:
            break;
    }
    lines << kClosingLine;
    return lines;
}

QString joinRecordCells(const PrintRowCells& cells, const ColumnGaps& gaps) {
    QString line = cells[0];
    for (int column = 1; column < kPrintColumns; ++column) {
        line += spaces(gaps[column - 1]);
        line += cells[column];
    }
    return line;
}

QString recordHeaderLine(const PrintRowCells& header) {
    return joinRecordCells(header, kHeaderGaps);
}

std::optional<QString> recordRowLine(const PrintRowCells& row) {
    for (const RowRule& rule : kRowRules) {
        if (!row[rule.column].isEmpty()) {
            return joinRecordCells(row, rule.gaps);
        }
    }
    return std::nullopt;
}

QStringList recordTablePrintLines(const RecordCellReader& cell, int tableRows, int recordTotal) {
    auto readRow = [&cell](int row) {
        PrintRowCells cells;
        for (int column = 0; column < kPrintColumns; ++column) {
            cells[column] = cell(row, column);
        }
        return cells;
    };
    QStringList lines;
    lines << recordHeaderLine(readRow(0));
    const int last = recordTotal > 0 ? recordTotal : 1;
    for (int row = 1; row <= last && row < tableRows; ++row) {
        if (std::optional<QString> line = recordRowLine(readRow(row))) {
            lines << *line;
        }
    }
    return lines;
}

}  // namespace kelvora
