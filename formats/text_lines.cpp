#include "formats/text_lines.h"

#include <array>

namespace kelvora {

namespace {

QString spaces(int count) {
    return QString(count, QLatin1Char(' '));
}

constexpr int kRecordColumns = 8;

// Spaces between column c and c+1 of the record file. The voltage column comes last so the
// layout of columns 0 to 6 stays as it always was.
using Gaps = std::array<int, kRecordColumns - 1>;
constexpr Gaps kHeaderGaps = {2, 6, 6, 7, 6, 12, 12};
constexpr Gaps kRecordGapsNoRho = {2, 6, 6, 7, 6, 7, 7};
constexpr Gaps kRecordGapsWithRho = {2, 6, 8, 9, 8, 7, 7};
constexpr int kRhoColumn = 2;
constexpr char kSpaces[] = "            ";  // as many as the widest gap

void joinRow(const RecordCells& cells, int row, const Gaps& gaps, QString& line) {
    line.resize(0);  // keeps the capacity
    line += cells.text(row, 0);
    for (int column = 1; column < kRecordColumns; ++column) {
        line += QLatin1String(kSpaces, gaps[size_t(column - 1)]);
        line += cells.text(row, column);
    }
}

}  // namespace

QStringList readingFileLines(int measureMode, const ReadingTexts& t) {
    const QString lead = spaces(9);
    switch (measureMode) {
        case 1:
            return {lead + QStringLiteral("    R    ") + QStringLiteral("   Rc    ") +
                        QStringLiteral("   Rp   "),
                    spaces(11) + t.r + spaces(3) + t.rc + spaces(3) + t.rp};
        case 2:
            return {lead + QStringLiteral("    ρ    ") + QStringLiteral("   ρ length    ") +
                        QStringLiteral("   Rc   ") + QStringLiteral("   Rp    "),
                    spaces(11) + t.p + spaces(5) + t.pLength + spaces(7) + t.rc + spaces(2) + t.rp};
        case 3:
            return {lead + QStringLiteral("    V:    ") + t.v};
        case 4:
            return {lead + QStringLiteral("    I:    ") + t.i};
        default:
            return {};
    }
}

void recordFileLines(const RecordCells& cells, int recordTotal,
                     const std::function<void(const QString&)>& line) {
    QString text;
    joinRow(cells, 0, kHeaderGaps, text);
    line(text);
    const int last = recordTotal >= 1 ? recordTotal : 1;
    // Rows beyond the table (a download still running) yield no line.
    for (int k = 1; k <= last && k < cells.rows; ++k) {
        const bool hasRho = !cells.text(k, kRhoColumn).isEmpty();
        joinRow(cells, k, hasRho ? kRecordGapsWithRho : kRecordGapsNoRho, text);
        line(text);
    }
}

QString fileNameDate(const QString& shortDate) {
    QString date = shortDate;
    for (QChar& c : date) {
        if (QStringView(u"/\\:*?\"<>|.").contains(c) || c.unicode() < 0x20) {
            c = QLatin1Char('-');
        }
    }
    return date;
}

}  // namespace kelvora
