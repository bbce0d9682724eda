#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>

#include "files/record_sheet.h"
#include "formats/xls_workbook.h"
#include "formats/xlsxwriter_calls.h"
#include "records/record_model.h"
#include "save_test_support.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

// Texts as a comma-decimal locale shows them, so fields need quoting; one cell holds quotes.
const QList<QStringList> kRows = {{"1", "12,34KΩ", "", "", "2,00KΩ", "3,00KΩ", "", ""},
                                  {"2", "", "OL Ωm", "5,0m", "2,00KΩ", "3,00KΩ", "", ""},
                                  {"3", "", "", "", "", "", "65,535A", "say \"hi\""}};

void fillRecords(RecordModel& records) {
    records.take(1, Reading{{0x04, 0xD2}, 0x22, 0, {0, 200}, {0x01, 0x2C}, {}});
    records.take(2, Reading{{0x27, 0x10}, 0x31, 0, {0, 200}, {0x01, 0x2C}, {0, 50}});
    records.take(3, Reading{{0xFF, 0xFF}, 0x83, 0, {}, {}, {}});
}

const QStringList kSheetRows = {
    "sNO.|sR|sρ|sρLenght|sRc|sRp|sI|sV|sR/Ω|sρ/Ωm|sρLenght/m|sRc/Ω|sRp/Ω|sI/A|sV/V",
    "s1|s12,34KΩ|||s2,00KΩ|s3,00KΩ|||n12340.0|||n2000.0|n3000.0||",
    "s2||sOL Ωm|s5,0m|s2,00KΩ|s3,00KΩ|||||n5.0|n2000.0|n3000.0||",
    "s3||||||s65,535A|ssay \"hi\"||||||n65.535|"};

TEST(RecordFiles, CsvBytes) {
    RecordModel records;
    fillRecords(records);
    const QList<QStringList> rows = QList<QStringList>{kRecordHeaders} + kRows;
    const RecordCells cells = {int(rows.size()), [&](int r, int c) { return rows[r][c]; }};
    EXPECT_EQ(
        recordCsv(RecordSheet(cells, records)),
        "\xEF\xBB\xBF" +
            QStringLiteral("NO.,R,ρ,ρLenght,Rc,Rp,I,V,R/Ω,ρ/Ωm,ρLenght/m,Rc/Ω,Rp/Ω,I/A,V/V\r\n"
                           "1,\"12,34KΩ\",,,\"2,00KΩ\",\"3,00KΩ\",,,12340,,,2000,3000,,\r\n"
                           "2,,OL Ωm,\"5,0m\",\"2,00KΩ\",\"3,00KΩ\",,,,,5,2000,3000,,\r\n"
                           "3,,,,,,\"65,535A\",\"say \"\"hi\"\"\",,,,,,65.535,\r\n")
                .toUtf8());
    EXPECT_EQ(plainNumber(0.000005), "0.000005");
}

class RecordSave : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm(dir.filePath("Kelvora"), "UTF-8", [] { return makeXlsWorkbook(); });
        fillTable(*t->form, kRows);
        fillRecords(t->form->records);
        t->form->recordTotal = 3;
        t->form->liveView = false;
    }
    void save(int type, const QString& path) {
        t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, type, {}});
        t->form->Command2_Click();
    }
    QTemporaryDir dir;
    std::unique_ptr<TestForm> t;
};

#ifndef _WIN32
// A device chosen in the dialog is refused by every type and left as it is.
TEST_F(RecordSave, ADeviceIsRefusedAndLeftAsItIs) {
    const QString device = dir.filePath("device.csv");
    ASSERT_TRUE(QFile::link("/dev/full", device));
    for (int type = 1; type <= 4; ++type) {
        save(type, device);
        ASSERT_EQ(t->messages->shown.size(), type);
        EXPECT_TRUE(t->messages->shown.last().text.contains("device.csv")) << type;
    }
    EXPECT_EQ(QFileInfo(device).symLinkTarget(), "/dev/full");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System), QStringList{"device.csv"});
    EXPECT_TRUE(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
}
#endif

// The first two types still write the text file and the .xls workbook; the new ones follow,
// and a failure of either says so.
TEST_F(RecordSave, TypePositionsAndFailures) {
    const char* const kStarts[] = {"NO.  R", "\xD0\xCF\x11\xE0", "\xEF\xBB\xBFNO.,", "PK\x03\x04"};
    const char* const kExtensions[] = {".txt", ".xls", ".csv", ".xlsx"};
    for (int type = 1; type <= 4; ++type) {
        const QString path = dir.filePath(QStringLiteral("records%1").arg(type));
        save(type, path);
        EXPECT_TRUE(readBytes(path).startsWith(kStarts[type - 1])) << type;
        t->form->Command2_Click();  // cancelled: only shows which type it remembered
        EXPECT_EQ(t->dialog->shownSaves.last()[2], kExtensions[type - 1]);
    }
    EXPECT_TRUE(t->messages->shown.isEmpty());
    for (int type : {3, 4}) {
        save(type, dir.filePath("missing/records"));
        ASSERT_EQ(t->messages->shown.size(), type - 2);
        EXPECT_EQ(t->messages->shown.last().title, QStringLiteral("保存失败"));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}

// The .xlsx read back by openpyxl: texts, numbers, empty cells, bold frozen header, widths.
TEST_F(RecordSave, XlsxReadBackByOpenpyxl) {
    if (QProcess::execute("/usr/bin/python3", {"-c", "import openpyxl"}) != 0) {
        GTEST_SKIP() << "python3-openpyxl is not installed";
    }
    const QString path = dir.filePath("records.xlsx");
    save(4, path);
    QProcess python;
    python.start("/usr/bin/python3", {"-c", R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
cell = lambda v: '' if v is None else 'n' + repr(float(v)) if isinstance(v, (int, float)) else 's' + v
for row in ws.iter_rows():
    print('|'.join(cell(c.value) for c in row))
print(ws.freeze_panes, all(c.font.b for c in ws[1]), not any(c.font.b for c in ws[2]))
print(min(ws.column_dimensions[c].width - len(str(ws[c + '1'].value)) for c in 'ABCDEFGHIJKLMNO') >= 1)
)",
                                      path});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
              kSheetRows + QStringList({"A2 True True", "True"}))
        << python.readAllStandardError().toStdString();
}

#ifdef KELVORA_XLSXWRITER_LIBRARY
// Loaded at the first workbook: a missing library is a reason to show, not a crash.
TEST(XlsxWriterLibrary, MissingLibraryGivesItsReason) {
    QString why;
    EXPECT_EQ(loadXlsxWriter("libkelvora-absent.so.9", &why), nullptr);
    EXPECT_TRUE(why.contains("libkelvora-absent.so.9")) << why.toStdString();
    EXPECT_NE(xlsxWriterCalls(&why), nullptr) << why.toStdString();
}
#endif

// Ctrl+A selects the records (not the headers), Ctrl+C copies them tab-separated.
TEST_F(RecordSave, CopySelectedCells) {
    RecordGrid& grid = *t->form->grid;
    for (int key : {Qt::Key_A, Qt::Key_C}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
        QCoreApplication::sendEvent(&grid, &press);
    }
    QString expected;
    for (const QStringList& row : kRows) {
        expected += row.join('\t') + '\n';
    }
    EXPECT_EQ(t->clipboard->text, expected);
}

}  // namespace
}  // namespace kelvora::testing
