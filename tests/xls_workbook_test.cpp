#include "platform/xls_workbook.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "platform/le_bytes.h"

namespace kelvora {
namespace {

// The files are read back by xlrd, a reader written independently of this code.
const char* const kPython = "/usr/bin/python3";

const char* const kReadScript = R"PY(
import json, sys, xlrd
bk = xlrd.open_workbook(sys.argv[1], formatting_info=True, ragged_rows=True)
sh = bk.sheet_by_index(0)
rows = []
for r in range(sh.nrows):
    row = []
    for c in range(sh.row_len(r)):
        cell = sh.cell(r, c)
        align = bk.xf_list[cell.xf_index].alignment.hor_align if cell.xf_index is not None else -1
        row.append([cell.ctype, cell.value, align])
    rows.append(row)
print(json.dumps({"sheets": bk.nsheets, "name": sh.name, "nrows": sh.nrows, "ncols": sh.ncols,
                  "rows": rows}))
)PY";

constexpr int kText = 1;
constexpr int kBlank = 6;
constexpr int kCentred = 2;
constexpr int kGeneral = 0;

struct ReadCell {
    int type = 0;
    QString value;
    int align = -1;
};

struct ReadBack {
    QString error;  // empty when xlrd opened the file
    int sheets = 0;
    QString sheetName;
    int rows = 0, columns = 0;
    std::vector<std::vector<ReadCell>> cells;

    // Rows end at their last cell; anything beyond reads as xlrd's empty filler.
    const ReadCell& at(int row, int column) const {
        static const ReadCell filler{0, QString(), -1};
        if (row < 0 || row >= int(cells.size()) || column < 0 || column >= int(cells[row].size())) {
            return filler;
        }
        return cells[row][column];
    }
};

QString xlrdMissingReason() {
    if (!QFile::exists(kPython)) {
        return QStringLiteral("%1 is not installed").arg(kPython);
    }
    QProcess probe;
    probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import xlrd")});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0) {
        return QStringLiteral("python3-xlrd is not installed");
    }
    return {};
}

#define SKIP_WITHOUT_XLRD()                                 \
    do {                                                    \
        static const QString missing = xlrdMissingReason(); \
        if (!missing.isEmpty()) {                           \
            GTEST_SKIP() << missing.toStdString();          \
        }                                                   \
    } while (0)

ReadBack readWithXlrd(const QString& path) {
    ReadBack back;
    QProcess python;
    python.start(kPython, {QStringLiteral("-c"), QString::fromUtf8(kReadScript), path});
    if (!python.waitForFinished(300000) || python.exitCode() != 0) {
        back.error =
            QStringLiteral("xlrd failed: ") + QString::fromUtf8(python.readAllStandardError());
        return back;
    }
    const QJsonObject doc = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    back.sheets = doc.value("sheets").toInt();
    back.sheetName = doc.value("name").toString();
    back.rows = doc.value("nrows").toInt();
    back.columns = doc.value("ncols").toInt();
    for (const QJsonValue& rowValue : doc.value("rows").toArray()) {
        std::vector<ReadCell> row;
        for (const QJsonValue& cellValue : rowValue.toArray()) {
            const QJsonArray cell = cellValue.toArray();
            row.push_back({cell[0].toInt(), cell[1].toString(), cell[2].toInt()});
        }
        back.cells.push_back(std::move(row));
    }
    return back;
}

// Fills the sheet the way the export does: column by column, alignment before value.
bool exportTable(Spreadsheet& book, const std::vector<QStringList>& table) {
    if (!book.newWorkbook()) {
        return false;
    }
    const int columns = table.empty() ? 0 : int(table.front().size());
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < int(table.size()); ++r) {
            if (!book.setHorizontalAlignment(r + 1, c + 1, kXlCenter) ||
                !book.setValue(r + 1, c + 1, table[r][c])) {
                return false;
            }
        }
    }
    return true;
}

const QStringList kHeaders = {QStringLiteral("NO."),  QStringLiteral("R"),
                              QString::fromUtf8("ρ"), QString::fromUtf8("ρLenght"),
                              QStringLiteral("Rc"),   QStringLiteral("Rp"),
                              QStringLiteral("I"),    QStringLiteral("V")};

class XlsWorkbookTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    ReadBack saveAndRead(Spreadsheet& book, const QString& name = QStringLiteral("out.xls")) {
        EXPECT_TRUE(book.saveAs(path(name))) << book.lastError().toStdString();
        return readWithXlrd(path(name));
    }

    QTemporaryDir dir;
    std::unique_ptr<Spreadsheet> book = makeXlsWorkbook();
};

TEST_F(XlsWorkbookTest, HeaderAndOneEmptyRowGiveHeadersAndCentredBlanks) {
    SKIP_WITHOUT_XLRD();
    ASSERT_TRUE(exportTable(*book, {kHeaders, QStringList(8, QString())}));
    const ReadBack back = saveAndRead(*book);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    EXPECT_EQ(back.sheets, 1);
    EXPECT_EQ(back.sheetName, QStringLiteral("Sheet1"));
    ASSERT_EQ(back.rows, 2);
    ASSERT_EQ(back.columns, 8);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(back.at(0, c).type, kText) << c;
        EXPECT_EQ(back.at(0, c).value, kHeaders[c]) << c;
        EXPECT_EQ(back.at(0, c).align, kCentred) << c;
        EXPECT_EQ(back.at(1, c).type, kBlank) << c;
        EXPECT_EQ(back.at(1, c).value, QString()) << c;
        EXPECT_EQ(back.at(1, c).align, kCentred) << c;
    }
    EXPECT_TRUE(book->close());
    book->quit();
}

TEST_F(XlsWorkbookTest, TextsSurviveUnchanged) {
    SKIP_WITHOUT_XLRD();
    const QStringList texts = {
        QStringLiteral("1"),          QStringLiteral("OL "),
        QString::fromUtf8("12.34Ω"),  QString::fromUtf8("1.52KΩm"),
        QString::fromUtf8("ρLenght"), QStringLiteral("2026-12-06 23:05:00"),
        QString::fromUtf8("café é"),  QString::fromUtf8("通信成功"),
        QString::fromUtf8("😀 Ω"),     QStringLiteral("  leading and trailing  "),
        QStringLiteral("tab\there"),  QString(QChar(0x00FF)) + QChar(0x0100),
    };
    ASSERT_TRUE(book->newWorkbook());
    for (int k = 0; k < texts.size(); ++k) {
        ASSERT_TRUE(book->setHorizontalAlignment(k + 1, 2, kXlCenter));
        ASSERT_TRUE(book->setValue(k + 1, 2, texts[k]));
    }
    const ReadBack back = saveAndRead(*book);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    ASSERT_EQ(back.rows, texts.size());
    ASSERT_EQ(back.columns, 2);
    for (int k = 0; k < texts.size(); ++k) {
        EXPECT_EQ(back.at(k, 1).type, kText) << k;
        EXPECT_EQ(back.at(k, 1).value, texts[k]) << k;
        EXPECT_EQ(back.at(k, 1).align, kCentred) << k;
    }
}

TEST_F(XlsWorkbookTest, MalformedTextDoesNotSpoilTheFile) {
    SKIP_WITHOUT_XLRD();
    ASSERT_TRUE(book->newWorkbook());
    ASSERT_TRUE(book->setValue(1, 1, QString::fromUtf8("12.3Ω")));
    ASSERT_TRUE(
        book->setValue(2, 1, QString() + QLatin1Char('a') + QChar(0xD800) + QLatin1Char('b')));
    const ReadBack back = saveAndRead(*book);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    EXPECT_EQ(back.at(0, 0).value, QString::fromUtf8("12.3Ω"));
    EXPECT_EQ(back.at(1, 0).value,
              QString() + QLatin1Char('a') + QChar::ReplacementCharacter + QLatin1Char('b'));
}

TEST_F(XlsWorkbookTest, LongStringsCrossContinueBoundaries) {
    SKIP_WITHOUT_XLRD();
    std::vector<QStringList> table = {kHeaders};
    for (int r = 1; r <= 600; ++r) {
        QStringList row;
        for (int c = 0; c < 8; ++c) {
            row << QString::fromUtf8("%1.%2Ω").arg(r).arg(c);
        }
        table.push_back(row);
    }
    table[300][3] = QString::fromUtf8("ρΩ").repeated(9000);
    table[301][4] = QString(20000, QLatin1Char('L'));
    table[302][5] = QString::fromUtf8("Ω").repeated(32767);
    ASSERT_TRUE(exportTable(*book, table));
    const ReadBack back = saveAndRead(*book);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    ASSERT_EQ(back.rows, int(table.size()));
    for (int r = 0; r < int(table.size()); ++r) {
        for (int c = 0; c < 8; ++c) {
            ASSERT_EQ(back.at(r, c).value, table[r][c]) << r << "," << c;
        }
    }
}

TEST_F(XlsWorkbookTest, AlignmentFollowsWhatWasSet) {
    SKIP_WITHOUT_XLRD();
    ASSERT_TRUE(book->newWorkbook());
    ASSERT_TRUE(book->setValue(1, 1, QStringLiteral("plain")));  // value only
    ASSERT_TRUE(book->setHorizontalAlignment(1, 2, kXlCenter));  // alignment only
    ASSERT_TRUE(book->setHorizontalAlignment(1, 3, kXlCenter));
    ASSERT_TRUE(book->setValue(1, 3, QStringLiteral("centred")));
    ASSERT_TRUE(book->setValue(2, 4, QStringLiteral("cleared")));
    ASSERT_TRUE(book->setValue(2, 4, QString()));  // empty, never aligned: no cell at all
    ASSERT_TRUE(book->setHorizontalAlignment(1, 5, kXlCenter));
    ASSERT_TRUE(book->setHorizontalAlignment(1, 5, 1));  // back to general
    ASSERT_TRUE(book->setValue(1, 5, QStringLiteral("general")));
    EXPECT_FALSE(book->setHorizontalAlignment(1, 6, 7));
    EXPECT_TRUE(book->lastError().contains(QStringLiteral("alignment")));

    const ReadBack back = saveAndRead(*book);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    ASSERT_EQ(back.rows, 1);  // row 2 holds nothing any more
    ASSERT_EQ(back.columns, 5);
    struct Expected {
        int type;
        const char* value;
        int align;
    };
    const Expected expected[] = {{kText, "plain", kGeneral},
                                 {kBlank, "", kCentred},
                                 {kText, "centred", kCentred},
                                 {0, "", -1},  // never set: xlrd's filler
                                 {kText, "general", kGeneral}};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(back.at(0, c).type, expected[c].type) << c;
        EXPECT_EQ(back.at(0, c).value, QString::fromUtf8(expected[c].value)) << c;
        if (expected[c].align >= 0) {
            EXPECT_EQ(back.at(0, c).align, expected[c].align) << c;
        }
    }
}

TEST_F(XlsWorkbookTest, EmptyWorkbookStillOpens) {
    SKIP_WITHOUT_XLRD();
    ASSERT_TRUE(book->newWorkbook());
    const ReadBack back = saveAndRead(*book);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    EXPECT_EQ(back.rows, 0);
    EXPECT_EQ(back.columns, 0);
}

TEST_F(XlsWorkbookTest, CellLimitsOfTheFormat) {
    SKIP_WITHOUT_XLRD();
    struct Case {
        int row, column;
        bool accepted;
        const char* errorPart;
    };
    const Case cases[] = {
        {65536, 256, true, ""},
        {65536, 1, true, ""},
        {1, 256, true, ""},
        {65537, 1, false, "too large"},
        {1, 257, false, "too large"},
        {100000, 300, false, "too large"},
        {0, 1, false, "count from 1"},
        {1, 0, false, "count from 1"},
        {-5, 3, false, "count from 1"},
    };
    ASSERT_TRUE(book->newWorkbook());
    for (const Case& c : cases) {
        const QString text = QStringLiteral("r%1c%2").arg(c.row).arg(c.column);
        EXPECT_EQ(book->setValue(c.row, c.column, text), c.accepted) << text.toStdString();
        EXPECT_EQ(book->setHorizontalAlignment(c.row, c.column, kXlCenter), c.accepted)
            << text.toStdString();
        if (!c.accepted) {
            EXPECT_TRUE(book->lastError().contains(QLatin1String(c.errorPart)))
                << book->lastError().toStdString();
        }
    }
    EXPECT_FALSE(book->setValue(1, 1, QString(32768, QLatin1Char('x'))));
    EXPECT_TRUE(book->lastError().contains(QStringLiteral("32767")));

    const ReadBack back = saveAndRead(*book);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    EXPECT_EQ(back.rows, 65536);
    EXPECT_EQ(back.columns, 256);
    EXPECT_EQ(back.at(65535, 255).value, QStringLiteral("r65536c256"));
    EXPECT_EQ(back.at(65535, 0).value, QStringLiteral("r65536c1"));
    EXPECT_EQ(back.at(0, 255).value, QStringLiteral("r1c256"));
    EXPECT_EQ(back.at(0, 0).type, 0);  // the rejected long text left nothing behind
}

TEST_F(XlsWorkbookTest, OperationsNeedAnOpenWorkbook) {
    EXPECT_FALSE(book->setValue(1, 1, QStringLiteral("x")));
    EXPECT_FALSE(book->lastError().isEmpty());
    EXPECT_FALSE(book->saveAs(path(QStringLiteral("never.xls"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("never.xls"))));
    ASSERT_TRUE(book->newWorkbook());
    ASSERT_TRUE(book->setValue(1, 1, QStringLiteral("x")));
    ASSERT_TRUE(book->close());
    EXPECT_FALSE(book->setHorizontalAlignment(1, 1, kXlCenter));
    EXPECT_FALSE(book->saveAs(path(QStringLiteral("closed.xls"))));
    EXPECT_FALSE(book->close());
    book->quit();
    ASSERT_TRUE(book->newWorkbook());
    EXPECT_TRUE(book->saveAs(path(QStringLiteral("again.xls")))) << book->lastError().toStdString();
}

TEST_F(XlsWorkbookTest, MissingFolderFailsWithAReason) {
    ASSERT_TRUE(exportTable(*book, {kHeaders}));
    const QString target = path(QStringLiteral("no such folder/out.xls"));
    EXPECT_FALSE(book->saveAs(target));
    EXPECT_FALSE(book->lastError().isEmpty());
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_FALSE(book->saveAs(QString()));
    EXPECT_FALSE(book->lastError().isEmpty());
}

// Makes every write beyond `bytes` fail (EFBIG) while it lives, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

// Both ways a full disk shows: a large write refused at once, and a small one that sits in the
// file buffer until the data goes out.
struct FullDiskCase {
    const char* name;
    int records;
    rlim_t limit;
};

void PrintTo(const FullDiskCase& c, std::ostream* os) {
    *os << c.name;
}

class XlsWorkbookFullDisk : public XlsWorkbookTest,
                            public ::testing::WithParamInterface<FullDiskCase> {};

TEST_P(XlsWorkbookFullDisk, FailedWriteLeavesExistingFileAsItWas) {
    const QString target = path(QStringLiteral("kept.xls"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the earlier workbook");
    }
    std::vector<QStringList> table = {kHeaders};
    for (int r = 1; r <= GetParam().records; ++r) {
        table.push_back(QStringList(8, QString::number(r)));
    }
    ASSERT_TRUE(exportTable(*book, table));
    bool saved = true;
    {
        FileSizeLimit limit(GetParam().limit);
        ASSERT_TRUE(limit.active());
        saved = book->saveAs(target);
    }
    EXPECT_FALSE(saved);
    EXPECT_FALSE(book->lastError().isEmpty());
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("the earlier workbook"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.xls")})
        << "no temporary file is left behind";

    // Once the disk has room again the same workbook replaces the old file.
    EXPECT_TRUE(book->saveAs(target)) << book->lastError().toStdString();
    old.close();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.read(8).toHex(), "d0cf11e0a1b11ae1");
}

INSTANTIATE_TEST_SUITE_P(Writes, XlsWorkbookFullDisk,
                         ::testing::Values(FullDiskCase{"LargeFileRefusedAtOnce", 2000, 16 * 1024},
                                           FullDiskCase{"SmallFileRefusedWhenBuffered", 0, 4096}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(XlsWorkbookTest, FullRecordTableNeedsDifatAndReadsBack) {
    SKIP_WITHOUT_XLRD();
    std::vector<QStringList> table = {kHeaders};
    for (int k = 1; k <= 32767; ++k) {
        table.push_back({QString::number(k), QString::fromUtf8("%1.%2Ω").arg(k).arg(k % 10),
                         QString::fromUtf8("%1.%2KΩm").arg(k).arg(k % 7),
                         QStringLiteral("%1m").arg(k), QString::fromUtf8("%1Ω").arg(k * 3),
                         QString::fromUtf8("%1Ω").arg(k * 5), QStringLiteral("%1mA").arg(k),
                         QStringLiteral("%1.%2V").arg(k).arg(k % 3)});
    }
    table[777] = QStringList(8, QString());  // an empty row inside the table
    ASSERT_TRUE(exportTable(*book, table));
    const QString target = path(QStringLiteral("full.xls"));
    ASSERT_TRUE(book->saveAs(target)) << book->lastError().toStdString();

    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(512);
    EXPECT_GT(file.size(), 7087104 + 512) << "large enough to need more than 109 FAT sectors";
    EXPECT_GE(readU32(header, 0x48), 1u) << "DIFAT sector count";
    EXPECT_GT(readU32(header, 0x2C), 109u) << "FAT sector count";

    const ReadBack back = readWithXlrd(target);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    ASSERT_EQ(back.rows, 32768);
    ASSERT_EQ(back.columns, 8);
    for (int r = 0; r < back.rows; ++r) {
        for (int c = 0; c < 8; ++c) {
            const ReadCell& cell = back.at(r, c);
            ASSERT_EQ(cell.value, table[r][c]) << r << "," << c;
            ASSERT_EQ(cell.type, table[r][c].isEmpty() ? kBlank : kText) << r << "," << c;
            ASSERT_EQ(cell.align, kCentred) << r << "," << c;
        }
    }
}

}  // namespace
}  // namespace kelvora
