#include "export/text_lines.h"

#include <algorithm>
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

QString joinRow(const RecordCells& cells, int row, const Gaps& gaps) {
    QString line = cells.text(row, 0);
    for (int column = 1; column < kRecordColumns; ++column) {
        line += spaces(gaps[size_t(column - 1)]);
        line += cells.text(row, column);
    }
    return line;
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

QStringList recordFileLines(const RecordCells& cells, int recordTotal) {
    QStringList lines;
    const int last = recordTotal >= 1 ? recordTotal : 1;
    lines.reserve(1 + std::min(last, std::max(cells.rows - 1, 0)));
    lines << joinRow(cells, 0, kHeaderGaps);
    // Rows beyond the table (a download still running) yield no line.
    for (int k = 1; k <= last && k < cells.rows; ++k) {
        const bool hasRho = !cells.text(k, kRhoColumn).isEmpty();
        lines << joinRow(cells, k, hasRho ? kRecordGapsWithRho : kRecordGapsNoRho);
    }
    return lines;
}

QString joinCrLf(const QStringList& lines) {
    qsizetype size = 0;
    for (const QString& line : lines) {
        size += line.size() + 2;
    }
    QString text;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
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
