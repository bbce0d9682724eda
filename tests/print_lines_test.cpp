#include <gtest/gtest.h>

#include <QMap>
#include <QPair>
#include <QRegularExpression>

#include "print/print_lines.h"

// Failures show lines as text, with their spaces made visible.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << QString(text).replace(QLatin1Char(' '), QChar(0x00B7)).toStdString() << '"';
}

namespace kelvora {
namespace {

// Expected lines are written with runs of spaces as "{n}", so "5{2}12.3Ω" is "5", two spaces
// and "12.3Ω". Gaps around empty cells are written merged, as they appear on paper.
QString expand(const char* pattern) {
    static const QRegularExpression run(QStringLiteral("\\{(\\d+)\\}"));
    const QString text = QString::fromUtf8(pattern);
    QString out;
    qsizetype from = 0;
    for (auto it = run.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += text.mid(from, match.capturedStart() - from);
        out += QString(match.captured(1).toInt(), QLatin1Char(' '));
        from = match.capturedEnd();
    }
    return out + text.mid(from);
}

QStringList expandAll(std::initializer_list<const char*> patterns) {
    QStringList lines;
    for (const char* pattern : patterns) {
        lines << expand(pattern);
    }
    return lines;
}

RecordCells cells(std::initializer_list<const char*> texts) {
    RecordCells row;
    int column = 0;
    for (const char* text : texts) {
        row[column++] = QString::fromUtf8(text);
    }
    return row;
}

const RecordCells kHeader = cells({"NO.", "R", "ρ", "ρLenght", "Rc", "Rp", "I", "V"});

const LiveCaptions kCaptions{QStringLiteral("12.3Ω"),  QStringLiteral("1.25KΩ"),
                             QStringLiteral("0.80KΩ"), QStringLiteral("105.2Ωm"),
                             QStringLiteral("5.0 m"),  QStringLiteral("12.0 V"),
                             QStringLiteral("1.50 mA")};

struct LiveCase {
    const char* name;
    int mode;
    std::vector<const char*> lines;
};

class LivePrintLines : public ::testing::TestWithParam<LiveCase> {};

TEST_P(LivePrintLines, AreExactlyTheHeadingValueAndClosingLines) {
    const LiveCase& c = GetParam();
    QStringList expected;
    for (const char* line : c.lines) {
        expected << expand(line);
    }
    EXPECT_EQ(livePrintLines(c.mode, kCaptions), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LivePrintLines,
    ::testing::Values(
        LiveCase{
            "EarthResistance", 1, {"{13}R{7}Rc{8}Rp{3}", "{11}12.3Ω{3}1.25KΩ{3}0.80KΩ", "{5}"}},
        LiveCase{"SoilResistivity",
                 2,
                 {"{13}ρ{7}ρ length{7}Rc{9}Rp{4}", "{11}105.2Ωm{5}5.0 m{7}1.25KΩ{2}0.80KΩ", "{5}"}},
        LiveCase{"EarthVoltage", 3, {"{13}V:{4}12.0 V", "{5}"}},
        LiveCase{"ClampCurrent", 4, {"{13}I:{4}1.50 mA", "{5}"}}, LiveCase{"ModeZero", 0, {"{5}"}},
        LiveCase{"ModeFive", 5, {"{5}"}}, LiveCase{"NegativeMode", -1, {"{5}"}}),
    [](const ::testing::TestParamInfo<LiveCase>& info) { return std::string(info.param.name); });

TEST(LivePrintLinesBeforeAnyReading, PrintStartUpCaptionsUnderTheResistivityHeading) {
    const LiveCaptions startUp{QStringLiteral("0.00 Ω"),  QStringLiteral("0.00 KΩ"),
                               QStringLiteral("0.00 KΩ"), QStringLiteral("0.00 Ωm"),
                               QStringLiteral("0.00 m"),  QStringLiteral("0.0 V"),
                               QStringLiteral("0.00 mA")};
    EXPECT_EQ(livePrintLines(2, startUp),
              expandAll({"{13}ρ{7}ρ length{7}Rc{9}Rp{4}",
                         "{11}0.00 Ωm{5}0.00 m{7}0.00 KΩ{2}0.00 KΩ", "{5}"}));
}

TEST(LivePrintLinesEmptyCaptions, KeepEverySeparator) {
    EXPECT_EQ(livePrintLines(1, LiveCaptions{}), expandAll({"{13}R{7}Rc{8}Rp{3}", "{17}", "{5}"}));
}

TEST(RecordHeaderLine, JoinsTheColumnTitlesWithTheHeaderGaps) {
    EXPECT_EQ(recordHeaderLine(kHeader), expand("NO.{2}R{6}ρ{6}ρLenght{7}Rc{6}Rp{12}I{12}V"));
}

TEST(RecordHeaderLine, OfAnEmptyRowIsOnlyTheGaps) {
    EXPECT_EQ(recordHeaderLine(RecordCells{}), expand("{51}"));
}

struct RowCase {
    const char* name;
    RecordCells row;
    const char* line;  // nullptr: no line
};

class RecordRowLine : public ::testing::TestWithParam<RowCase> {};

TEST_P(RecordRowLine, UsesTheGapsOfTheFirstFilledColumnAmongRRhoIV) {
    const RowCase& c = GetParam();
    const std::optional<QString> line = recordRowLine(c.row);
    if (c.line == nullptr) {
        EXPECT_FALSE(line.has_value()) << line.value_or(QString()).toStdString();
    } else {
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(*line, expand(c.line));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordRowLine,
    ::testing::Values(
        // The worked example of the printout format: record 5, R 12.3Ω, Rc 1.25KΩ, Rp 0.80KΩ.
        RowCase{"EarthResistance", cells({"5", "12.3Ω", "", "", "1.25KΩ", "0.80KΩ", "", ""}),
                "5{2}12.3Ω{25}1.25KΩ{2}0.80KΩ{14}"},
        RowCase{"SoilResistivity", cells({"7", "", "105.2Ωm", "5.0m", "1.25KΩ", "0.80KΩ", "", ""}),
                "7{8}105.2Ωm{6}5.0m{7}1.25KΩ{2}0.80KΩ{14}"},
        RowCase{"ClampCurrent", cells({"3", "", "", "", "", "", "12.5mA", ""}), "3{54}12.5mA{7}"},
        RowCase{"EarthVoltage", cells({"4", "", "", "", "", "", "", "12.0V"}), "4{67}12.0V"},
        RowCase{"ResistanceWinsOverCurrent",
                cells({"9", "12.3Ω", "", "", "1.25KΩ", "0.80KΩ", "5.00A", ""}),
                "9{2}12.3Ω{25}1.25KΩ{2}0.80KΩ{7}5.00A{7}"},
        RowCase{"ResistivityWinsOverVoltage", cells({"2", "", "OL KΩm", "", "", "", "", "1.0V"}),
                "2{8}OL KΩm{29}1.0V"},
        RowCase{"CurrentWinsOverVoltage", cells({"6", "", "", "", "", "", "2.00A", "3.0V"}),
                "6{54}2.00A{7}3.0V"},
        RowCase{"OnlyRcAndRpIsNoLine", cells({"8", "", "", "", "1.25KΩ", "0.80KΩ", "", ""}),
                nullptr},
        RowCase{"OnlyTheNumberIsNoLine", cells({"1", "", "", "", "", "", "", ""}), nullptr},
        RowCase{"EmptyRowIsNoLine", RecordCells{}, nullptr}),
    [](const ::testing::TestParamInfo<RowCase>& info) { return std::string(info.param.name); });

// A record table held as a map; it remembers which cells were read.
struct TableStub {
    QMap<QPair<int, int>, QString> texts;
    int rows = 2;
    mutable int highestRowRead = -1;

    void setRow(int row, const RecordCells& cells) {
        for (int column = 0; column < kRecordColumns; ++column) {
            texts[{row, column}] = cells[column];
        }
        rows = std::max(rows, row + 1);
    }
    RecordCellReader reader() const {
        return [this](int row, int column) {
            highestRowRead = std::max(highestRowRead, row);
            return texts.value({row, column});
        };
    }
};

TableStub tableWithHeader() {
    TableStub table;
    table.setRow(0, kHeader);
    return table;
}

const char* const kHeaderLine = "NO.{2}R{6}ρ{6}ρLenght{7}Rc{6}Rp{12}I{12}V";

TEST(RecordTablePrintLines, NothingDownloadedPrintsOnlyTheHeader) {
    const TableStub table = tableWithHeader();
    EXPECT_EQ(recordTablePrintLines(table.reader(), table.rows, 0), expandAll({kHeaderLine}));
}

TEST(RecordTablePrintLines, NegativeTotalStillLooksAtRowOne) {
    TableStub table = tableWithHeader();
    table.setRow(1, cells({"1", "", "", "", "", "", "", "9.9V"}));
    EXPECT_EQ(recordTablePrintLines(table.reader(), table.rows, -3),
              expandAll({kHeaderLine, "1{67}9.9V"}));
}

TEST(RecordTablePrintLines, ThreeRecordsOfDifferentModes) {
    TableStub table = tableWithHeader();
    table.setRow(1, cells({"1", "12.3Ω", "", "", "1.25KΩ", "0.80KΩ", "", ""}));
    table.setRow(2, cells({"2", "", "105.2Ωm", "5.0m", "1.25KΩ", "0.80KΩ", "", ""}));
    table.setRow(3, cells({"3", "", "", "", "", "", "12.5mA", ""}));
    EXPECT_EQ(recordTablePrintLines(table.reader(), table.rows, 3),
              expandAll({kHeaderLine, "1{2}12.3Ω{25}1.25KΩ{2}0.80KΩ{14}",
                         "2{8}105.2Ωm{6}5.0m{7}1.25KΩ{2}0.80KΩ{14}", "3{54}12.5mA{7}"}));
}

TEST(RecordTablePrintLines, ClearedTableWithAnOldTotalPrintsTheHeaderAndReadsNoMissingRow) {
    const TableStub table = tableWithHeader();  // two rows, as after Clear
    EXPECT_EQ(recordTablePrintLines(table.reader(), table.rows, 500), expandAll({kHeaderLine}));
    EXPECT_LE(table.highestRowRead, 1);
}

TEST(RecordTablePrintLines, RowsBeyondTheTotalAreNotPrinted) {
    TableStub table = tableWithHeader();
    table.setRow(1, cells({"1", "", "", "", "", "", "", "1.0V"}));
    table.setRow(2, cells({"2", "", "", "", "", "", "", "2.0V"}));
    EXPECT_EQ(recordTablePrintLines(table.reader(), table.rows, 1),
              expandAll({kHeaderLine, "1{67}1.0V"}));
}

TEST(RecordTablePrintLines, EmptyRowsLeftByAClearDuringADownloadAreSkipped) {
    TableStub table = tableWithHeader();
    table.rows = 5;  // records 1..3 were cleared away, record 4 arrived afterwards
    table.setRow(4, cells({"4", "", "", "", "", "", "2.00A", ""}));
    EXPECT_EQ(recordTablePrintLines(table.reader(), table.rows, 6),
              expandAll({kHeaderLine, "4{54}2.00A{7}"}));
    EXPECT_EQ(table.highestRowRead, 4);
}

}  // namespace
}  // namespace kelvora
