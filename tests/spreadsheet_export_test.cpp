#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "platform/spreadsheet.h"
#include "platform/xls_workbook.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

const QList<QStringList> kRecords = {{"1", "12.34KΩ", "", "", "2.00KΩ", "3.00KΩ", "", ""},
                                     {"2", "", "123.4Ωm", "5.0m", "2.00KΩ", "3.00KΩ", "", ""},
                                     {"3", "", "", "", "", "", "OL A", ""},
                                     {"4", "", "", "", "", "", "", "50.0V"}};

// A workbook that logs every call.
class RecordingSpreadsheet : public Spreadsheet {
public:
    explicit RecordingSpreadsheet(QStringList& calls) : calls_(calls) {}
    bool newWorkbook() override { return log("new"); }
    bool setHorizontalAlignment(int row, int column, int alignment) override {
        return log(QStringLiteral("align %1 %2 %3").arg(row).arg(column).arg(alignment));
    }
    bool setValue(int row, int column, const QString& text) override {
        return log(QStringLiteral("value %1 %2 %3").arg(row).arg(column).arg(text));
    }
    bool saveAs(const QString& path) override { return log("saveAs " + path); }
    bool close() override { return log("close"); }
    void quit() override { log("quit"); }
    QString lastError() const override { return {}; }

private:
    bool log(const QString& call) { return (calls_ << call, true); }
    QStringList& calls_;
};

// Every row the table holds (whatever recordTotal says), column by column including the
// voltage column, each cell centred (3) before its text.
TEST(SpreadsheetExport, CallOrderOnAFake) {
    QTemporaryDir dir;
    QStringList calls;
    auto t = makeTestForm(dir.filePath("Kelvora"), "UTF-8",
                          [&calls] { return std::make_unique<RecordingSpreadsheet>(calls); });
    fillTable(*t->form, kRecords);
    t->form->recordTotal = 1;
    const QString path = dir.filePath("table.xls");
    t->form->SaveSpreadsheet(path);
    const QList<QStringList> rows = QList<QStringList>{kRecordHeaders} + kRecords;
    QStringList expected = {"new"};
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < rows.size(); ++r) {
            expected << QStringLiteral("align %1 %2 3").arg(r + 1).arg(c + 1)
                     << QStringLiteral("value %1 %2 %3").arg(r + 1).arg(c + 1).arg(rows[r][c]);
        }
    }
    expected += QStringList{"saveAs " + path, "close", "quit"};
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

// The real workbook of a full table (32767 records) through the save command, read back by
// python3-xlrd: every cell a centred text.
TEST(SpreadsheetExport, RealWorkbookReadBack) {
    if (QProcess::execute("/usr/bin/python3", {"-c", "import xlrd"}) != 0) {
        GTEST_SKIP() << "python3-xlrd is not installed";
    }
    QTemporaryDir dir;
    auto t = makeTestForm(dir.filePath("Kelvora"), "UTF-8", [] { return makeXlsWorkbook(); });
    QList<QStringList> records = kRecords;
    for (int k = 5; k <= 32767; ++k) {
        records << QStringLiteral("%1||%2Ωm|||||%3")
                       .arg(QString::number(k), QString::number(k % 1000), k % 2 ? "OL V" : "")
                       .split('|');
    }
    fillTable(*t->form, records);
    t->form->recordTotal = 2;
    t->form->liveView = false;
    const QString path = dir.filePath(QStringLiteral("记录.xls"));
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 2, {}});
    t->form->Command2_Click();
    ASSERT_TRUE(t->messages->shown.isEmpty()) << t->messages->shown[0].text.toStdString();
    QProcess python;
    python.start("/usr/bin/python3", {"-c", R"PY(
import sys, xlrd; sys.stdout.reconfigure(encoding="utf-8")
bk = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sh = bk.sheet_by_index(0)
for r in range(sh.nrows):
    cells = [sh.cell(r, c) for c in range(sh.ncols)]
    print("\t".join((x.value if x.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_BLANK) else "<type>") +
                    ("" if bk.xf_list[x.xf_index].alignment.hor_align == 2 else "<not centred>")
                    for x in cells))
)PY",
                                      path});
    ASSERT_TRUE(python.waitForFinished(300000) && python.exitCode() == 0)
        << python.readAllStandardError().toStdString();
    QString expected = kRecordHeaders.join('\t') + '\n';
    for (const QStringList& record : records) {
        expected += record.join('\t') + '\n';
    }
    const QString read = QString::fromUtf8(python.readAllStandardOutput());
    EXPECT_TRUE(read == expected) << read.left(400).toStdString();
}

}  // namespace
}  // namespace kelvora::testing
