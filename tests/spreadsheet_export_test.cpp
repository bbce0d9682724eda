#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <csignal>

#ifdef __linux__
#include <sys/resource.h>
#endif

#include "platform/xls_workbook.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

const QStringList kResistance = {"1", "12.34KΩ", "", "", "2.00KΩ", "3.00KΩ", "", ""};
const QStringList kResistivity = {"2", "", "123.4Ωm", "5.0m", "2.00KΩ", "3.00KΩ", "", ""};
const QStringList kCurrent = {"3", "", "", "", "", "", "OL A", ""};
const QStringList kVoltage = {"4", "", "", "", "", "", "", "50.0V"};

// The calls a whole export of `rows` (headers first) makes, in order.
QStringList expectedCalls(const QList<QStringList>& rows, const QString& path) {
    QStringList calls = {"new"};
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < rows.size(); ++r) {
            calls << QStringLiteral("align %1 %2 3").arg(r + 1).arg(c + 1)
                  << QStringLiteral("value %1 %2 %3").arg(r + 1).arg(c + 1).arg(rows[r][c]);
        }
    }
    calls << QStringLiteral("saveAs ") + path << "close"
          << "quit";
    return calls;
}

class SpreadsheetExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        log = std::make_shared<RecordingSpreadsheet::Log>();
        t = makeTestForm(dir.filePath("Kelvora"), "UTF-8", recordingFactory(log));
        form = t->form.get();
        path = dir.filePath("table.xls");
    }
    QTemporaryDir dir;
    std::shared_ptr<RecordingSpreadsheet::Log> log;
    std::unique_ptr<TestForm> t;
    Form1* form = nullptr;
    QString path;
};

TEST_F(SpreadsheetExport, FillsColumnByColumnEachCellCentredBeforeItsText) {
    const QList<QStringList> records = {kResistance, kResistivity, kCurrent, kVoltage};
    fillTable(*form, records);
    form->SaveSpreadsheet(path);
    QList<QStringList> rows = records;
    rows.prepend(recordHeaders());
    EXPECT_EQ(log->calls, expectedCalls(rows, path));
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

TEST_F(SpreadsheetExport, TableAfterStartUpGivesHeadersAndOneEmptyRow) {
    form->SaveSpreadsheet(path);
    EXPECT_EQ(log->calls, expectedCalls({recordHeaders(), QStringList(8, QString())}, path));
}

// Every row the table holds, whatever recordTotal says (the text file stops at recordTotal).
TEST_F(SpreadsheetExport, EveryRowIndependentOfRecordTotal) {
    fillTable(*form, {kResistance, kResistivity, kCurrent});
    form->recordTotal = 1;
    form->SaveSpreadsheet(path);
    EXPECT_TRUE(log->calls.contains(QStringLiteral("value 4 7 OL A")));
    EXPECT_TRUE(log->calls.contains(QStringLiteral("value 1 8 V")));
}

TEST_F(SpreadsheetExport, ThroughTheSaveCommand) {
    fillTable(*form, {kVoltage});
    form->liveView = false;
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 2, {}});
    form->Command2_Click();
    EXPECT_EQ(log->calls, expectedCalls({recordHeaders(), kVoltage}, path));
    EXPECT_EQ(t->dialog->shownDefaultExts.last(), QStringLiteral(".txt"));
    // The next Save on the record tab proposes the workbook again.
    form->Command2_Click();
    EXPECT_EQ(t->dialog->shownDefaultExts.last(), QStringLiteral(".xls"));
}

TEST_F(SpreadsheetExport, EachExportHasItsOwnInstance) {
    form->SaveSpreadsheet(path);
    form->SaveSpreadsheet(path);
    EXPECT_EQ(log->instances, 2);
    EXPECT_EQ(log->calls.count(QStringLiteral("quit")), 2);
}

struct FailureCase {
    const char* failAt;
    int failAfter;
    const char* lastCall;  // the failing call, logged with "failed "
};

TEST_F(SpreadsheetExport, FailureEndsTheExportQuitsAndIsReported) {
    const FailureCase cases[] = {
        {"new", 0, "failed new"},
        {"align", 0, "failed align 1 1 3"},
        {"align", 3, "failed align 1 2 3"},  // the top of column 2 (3 rows a column)
        {"value", 5, "failed value 3 2 12.34KΩ"},
        {"saveAs", 0, nullptr},
    };
    fillTable(*form, {kResistance, kResistance});
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.failAt);
        log->calls.clear();
        log->failAt = QString::fromUtf8(c.failAt);
        log->failAfter = c.failAfter;
        form->SaveSpreadsheet(path);
        ASSERT_GE(log->calls.size(), 2);
        const QString failed =
            c.lastCall ? QString::fromUtf8(c.lastCall) : QStringLiteral("failed saveAs ") + path;
        EXPECT_EQ(log->calls[log->calls.size() - 2], failed);
        EXPECT_EQ(log->calls.last(), QStringLiteral("quit"));
        EXPECT_EQ(log->calls.filter(QStringLiteral("failed")).size(), 1);
        EXPECT_FALSE(log->calls.contains(QStringLiteral("close")));
        ASSERT_EQ(t->messages->shown.size(), 1);
        EXPECT_EQ(t->messages->shown[0].title, QStringLiteral("保存失败"));
        EXPECT_EQ(t->messages->shown[0].text,
                  QDir::toNativeSeparators(path) + QStringLiteral("\nsheet refused"));
        t->messages->shown.clear();
    }
}

// The workbook is on disk once saved; a close that fails afterwards is no failed save.
TEST_F(SpreadsheetExport, CloseFailingAfterTheSaveIsNoFailure) {
    log->failAt = QStringLiteral("close");
    form->SaveSpreadsheet(path);
    EXPECT_EQ(log->calls.mid(log->calls.size() - 3),
              (QStringList{QStringLiteral("saveAs ") + path, "failed close", "quit"}));
    EXPECT_TRUE(t->messages->shown.isEmpty());
}

TEST_F(SpreadsheetExport, FailureWithoutReasonStillReportsOne) {
    log->failAt = QStringLiteral("saveAs");
    log->error.clear();
    form->SaveSpreadsheet(path);
    ASSERT_EQ(t->messages->shown.size(), 1);
    EXPECT_GT(t->messages->shown[0].text.size(), QDir::toNativeSeparators(path).size() + 1);
}

TEST_F(SpreadsheetExport, NoSpreadsheetAvailableIsReported) {
    const SpreadsheetFactory factories[] = {{}, [] { return std::unique_ptr<Spreadsheet>(); }};
    for (const SpreadsheetFactory& factory : factories) {
        form->createSpreadsheet = factory;
        form->SaveSpreadsheet(path);
        ASSERT_EQ(t->messages->shown.size(), 1);
        EXPECT_TRUE(t->messages->shown[0].text.startsWith(QDir::toNativeSeparators(path)));
        t->messages->shown.clear();
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

// ---- the real workbook writer, read back by xlrd (written independently of this code) ----

const char* const kPython = "/usr/bin/python3";

const char* const kDigestScript = R"PY(
import json, sys, xlrd
bk = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sh = bk.sheet_by_index(0)
uncentred = 0
rows = []
for r in range(sh.nrows):
    texts = []
    for c in range(sh.ncols):
        cell = sh.cell(r, c)
        if bk.xf_list[cell.xf_index].alignment.hor_align != 2:
            uncentred += 1
        texts.append(cell.value if cell.ctype == xlrd.XL_CELL_TEXT else
                     "" if cell.ctype in (xlrd.XL_CELL_BLANK, xlrd.XL_CELL_EMPTY) else
                     "<type %d>" % cell.ctype)
    rows.append(texts)
print(json.dumps({"nrows": sh.nrows, "ncols": sh.ncols, "uncentred": uncentred, "rows": rows}))
)PY";

QString xlrdMissing() {
    QProcess probe;
    probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import xlrd")});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0) {
        return QStringLiteral("python3-xlrd is not installed");
    }
    return {};
}

struct Digest {
    QString error;
    int rows = 0, columns = 0, uncentred = -1;
    QList<QStringList> cells;
};

Digest readBack(const QString& path) {
    QProcess python;
    python.start(kPython, {QStringLiteral("-c"), QString::fromUtf8(kDigestScript), path});
    Digest digest;
    if (!python.waitForFinished(300000) || python.exitCode() != 0) {
        digest.error = QString::fromUtf8(python.readAllStandardError());
        return digest;
    }
    const QJsonObject doc = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    digest.rows = doc["nrows"].toInt();
    digest.columns = doc["ncols"].toInt();
    digest.uncentred = doc["uncentred"].toInt();
    for (const QJsonValue& row : doc["rows"].toArray()) {
        QStringList texts;
        for (const QJsonValue& cell : row.toArray()) {
            texts << cell.toString();
        }
        digest.cells << texts;
    }
    return digest;
}

class WorkbookReadBack : public ::testing::Test {
protected:
    void SetUp() override {
        static const QString missing = xlrdMissing();
        if (!missing.isEmpty()) {
            GTEST_SKIP() << missing.toStdString();
        }
        ASSERT_TRUE(dir.isValid());
        t = makeTestForm(dir.filePath("Kelvora"), "UTF-8", [] { return makeXlsWorkbook(); });
        form = t->form.get();
        path = dir.filePath(QStringLiteral("记录.xls"));
    }
    QTemporaryDir dir;
    std::unique_ptr<TestForm> t;
    Form1* form = nullptr;
    QString path;
};

TEST_F(WorkbookReadBack, HoldsEveryCellCentredWithRhoAndOhm) {
    const QList<QStringList> records = {kResistance, kResistivity, kCurrent, kVoltage,
                                        QStringList(8, QString())};
    fillTable(*form, records);
    form->recordTotal = 2;
    form->liveView = false;
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 2, {}});
    form->Command2_Click();
    ASSERT_TRUE(t->messages->shown.isEmpty()) << t->messages->shown[0].text.toStdString();
    const Digest digest = readBack(path);
    ASSERT_TRUE(digest.error.isEmpty()) << digest.error.toStdString();
    EXPECT_EQ(digest.columns, 8);
    EXPECT_EQ(digest.uncentred, 0);
    QList<QStringList> expected = records;
    expected.prepend(recordHeaders());
    EXPECT_EQ(digest.cells, expected);
}

TEST_F(WorkbookReadBack, FullTableOf32767Records) {
    constexpr int kRecords = 32767;
    form->grid->setCols(8);
    form->grid->setRows(kRecords + 1);
    for (int c = 0; c < 8; ++c) {
        form->grid->setTextMatrix(0, c, recordHeaders()[c]);
    }
    for (int k = 1; k <= kRecords; ++k) {
        form->grid->setTextMatrix(k, 0, QString::number(k));
        form->grid->setTextMatrix(k, 2, QStringLiteral("%1Ωm").arg(k % 1000));
        form->grid->setTextMatrix(k, 7, k % 2 ? QStringLiteral("OL V") : QString());
    }
    form->recordTotal = kRecords;
    form->SaveSpreadsheet(path);
    ASSERT_TRUE(t->messages->shown.isEmpty()) << t->messages->shown[0].text.toStdString();
    const Digest digest = readBack(path);
    ASSERT_TRUE(digest.error.isEmpty()) << digest.error.toStdString();
    EXPECT_EQ(digest.rows, kRecords + 1);
    EXPECT_EQ(digest.columns, 8);
    EXPECT_EQ(digest.uncentred, 0);
    ASSERT_EQ(digest.cells.size(), kRecords + 1);
    EXPECT_EQ(digest.cells[0], recordHeaders());
    int wrong = 0;
    for (int k = 1; k <= kRecords; ++k) {
        const QStringList expected = {QString::number(k),
                                      "",
                                      QStringLiteral("%1Ωm").arg(k % 1000),
                                      "",
                                      "",
                                      "",
                                      "",
                                      k % 2 ? QStringLiteral("OL V") : QString()};
        wrong += digest.cells[k] != expected;
    }
    EXPECT_EQ(wrong, 0);
}

#ifdef __linux__
// A small workbook fits the file buffer, so a full disk shows only when the buffer is flushed.
TEST_F(WorkbookReadBack, FullDiskKeepsTheOldWorkbook) {
    fillTable(*form, {kResistance});
    form->SaveSpreadsheet(path);
    ASSERT_TRUE(t->messages->shown.isEmpty());
    const QByteArray old = readBytes(path);
    fillTable(*form, {kResistance, kResistivity, kVoltage});
    for (rlim_t limit : {rlim_t(0), rlim_t(100), rlim_t(old.size() / 2)}) {
        SCOPED_TRACE(int(limit));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit full = saved;
        full.rlim_cur = limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
        form->SaveSpreadsheet(path);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(t->messages->shown.size(), 1);
        t->messages->shown.clear();
        EXPECT_EQ(readBytes(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QFileInfo(path).fileName()});
    }
}
#endif

}  // namespace
}  // namespace kelvora::testing
