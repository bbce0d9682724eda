#include <gtest/gtest.h>

#include <string>

#include "export/text_lines.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

std::string sp(int count) {
    return std::string(size_t(count), ' ');
}

const std::string kHeader = "NO." + sp(2) + "R" + sp(6) + "ρ" + sp(6) + "ρLenght" + sp(7) + "Rc" +
                            sp(6) + "Rp" + sp(12) + "I" + sp(12) + "V";

// Records of each kind, columns 0 to 7.
const QStringList kResistance = {"1", "12.34KΩ", "", "", "2.00KΩ", "3.00KΩ", "", ""};
const QStringList kResistivity = {"2", "", "123.4Ωm", "5.0m", "2.00KΩ", "3.00KΩ", "", ""};
const QStringList kCurrent = {"3", "", "", "", "", "", "12.3mA", ""};
const QStringList kVoltage = {"4", "", "", "", "", "", "", "50.0V"};
const QStringList kOverload = {"5", "OL KΩ", "", "", "OL KΩ", "2.00KΩ", "", ""};
const QStringList kEmpty = {"", "", "", "", "", "", "", ""};

const std::string kResistanceLine =
    "1" + sp(2) + "12.34KΩ" + sp(6) + sp(6) + sp(7) + "2.00KΩ" + sp(6) + "3.00KΩ" + sp(7) + sp(7);
const std::string kResistivityLine = "2" + sp(2) + sp(6) + "123.4Ωm" + sp(8) + "5.0m" + sp(9) +
                                     "2.00KΩ" + sp(8) + "3.00KΩ" + sp(7) + sp(7);
const std::string kCurrentLine = "3" + sp(2 + 6 + 6 + 7 + 6 + 7) + "12.3mA" + sp(7);
const std::string kVoltageLine = "4" + sp(34) + sp(7) + "50.0V";
const std::string kOverloadLine =
    "5" + sp(2) + "OL KΩ" + sp(6) + sp(6) + sp(7) + "OL KΩ" + sp(6) + "2.00KΩ" + sp(7) + sp(7);
// An empty row: the 34 spaces between columns 0 and 6 and the 7 before the voltage.
const std::string kEmptyLine = sp(41);

struct RecordCase {
    const char* name;
    QList<QStringList> records;  // table rows 1 and on
    int recordTotal;
    std::vector<std::string> lines;  // after the header
};

// Keeps test names readable where the parameter is printed.
void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<RecordCase> recordCases() {
    return {
        {"NoRecords", {kEmpty}, 0, {kEmptyLine}},
        {"NegativeTotalCountsAsOne", {kEmpty, kResistance}, -3, {kEmptyLine}},
        {"OnlyHeaderRow", {}, 0, {}},
        {"EveryKind",
         {kResistance, kResistivity, kCurrent, kVoltage, kOverload},
         5,
         {kResistanceLine, kResistivityLine, kCurrentLine, kVoltageLine, kOverloadLine}},
        {"TotalLargerThanTable",
         {kResistance, kResistivity, kCurrent},
         5,
         {kResistanceLine, kResistivityLine, kCurrentLine}},
        {"TotalSmallerThanTable",
         {kResistance, kResistivity, kCurrent, kVoltage},
         2,
         {kResistanceLine, kResistivityLine}},
        {"EmptyRowsInsideADownload", {kEmpty, kResistivity}, 2, {kEmptyLine, kResistivityLine}},
    };
}

RecordCells cellsOf(const QList<QStringList>& rows) {
    return {int(rows.size()), [rows](int row, int column) {
                return row < rows.size() && column < rows[row].size() ? rows[row][column]
                                                                      : QString();
            }};
}

std::string expectedFile(const RecordCase& c) {
    std::string text = kHeader + "\r\n";
    for (const std::string& line : c.lines) {
        text += line + "\r\n";
    }
    return text;
}

class RecordFileLines : public ::testing::TestWithParam<RecordCase> {};

TEST_P(RecordFileLines, JoinCellsByTheirGaps) {
    const RecordCase& c = GetParam();
    QList<QStringList> rows = c.records;
    rows.prepend(recordHeaders());
    EXPECT_EQ(joinCrLf(recordFileLines(cellsOf(rows), c.recordTotal)).toStdString(),
              expectedFile(c));
}

INSTANTIATE_TEST_SUITE_P(Tables, RecordFileLines, ::testing::ValuesIn(recordCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecordFileLines, ResistivityCellDecidesTheGapsFromColumnTwoOn) {
    const QStringList rhoOnly = {"7", "", "1Ωm", "", "", "", "", ""};
    const QList<QStringList> rows = {recordHeaders(), rhoOnly};
    const QStringList lines = recordFileLines(cellsOf(rows), 1);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1].toStdString(), "7" + sp(2) + sp(6) + "1Ωm" + sp(8 + 9 + 8 + 7 + 7));
}

// The whole command: record tab, text type (the first) picked.
class RecordFileSaved : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QByteArray save(TestForm& t, int recordTotal) {
        const QString path = dir.filePath("records.txt");
        t->liveView = false;
        t->recordTotal = int16_t(recordTotal);
        t.dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 1, {}});
        t->Command2_Click();
        EXPECT_TRUE(t.messages->shown.isEmpty());
        return readBytes(path);
    }
    QTemporaryDir dir;
};

TEST_F(RecordFileSaved, EveryCaseInUtf8) {
    for (const RecordCase& c : recordCases()) {
        auto t = makeTestForm(dir.filePath("folder"));
        fillTable(*t->form, c.records);
        EXPECT_EQ(save(*t, c.recordTotal).toStdString(), expectedFile(c)) << c.name;
    }
}

TEST_F(RecordFileSaved, TheTableAfterStartUp) {
    auto t = makeTestForm(dir.filePath("folder"));
    EXPECT_EQ(save(*t, 0).toStdString(), kHeader + "\r\n" + kEmptyLine + "\r\n");
}

TEST_F(RecordFileSaved, GbkBytes) {
    auto t = makeTestForm(dir.filePath("folder"), "GBK");
    fillTable(*t->form, {kResistivity, kVoltage});
    const QByteArray expected =
        "NO.  R      \xA6\xD1      \xA6\xD1Lenght       Rc      Rp            I            V\r\n"
        "2        123.4\xA6\xB8m        5.0m         2.00K\xA6\xB8        3.00K\xA6\xB8" +
        QByteArray(14, ' ') + "\r\n" + "4" + QByteArray(41, ' ') + "50.0V\r\n";
    EXPECT_EQ(save(*t, 2).toHex(' '), expected.toHex(' '));
}

// Rows that arrive while the dialog is open are in the file.
TEST_F(RecordFileSaved, TakesTheTableAsItIsWhenTheDialogCloses) {
    auto t = makeTestForm(dir.filePath("folder"));
    fillTable(*t->form, {kResistance});
    Form1* form = t->form.get();
    const QString path = dir.filePath("late.txt");
    form->liveView = false;
    form->recordTotal = 1;
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 1, [form] {
                                      fillTable(*form, {kResistance, kResistivity});
                                      form->recordTotal = 2;
                                  }});
    form->Command2_Click();
    EXPECT_EQ(readBytes(path).toStdString(),
              kHeader + "\r\n" + kResistanceLine + "\r\n" + kResistivityLine + "\r\n");
}

}  // namespace
}  // namespace kelvora::testing
