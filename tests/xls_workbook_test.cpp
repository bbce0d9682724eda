#include "platform/xls_workbook.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "platform/biff8_records.h"
#include "platform/compound_file.h"
#include "platform/le_bytes.h"

namespace kelvora {
namespace {

// Files are read back by python3-xlrd, a reader written independently of this code.
const char* const kReadScript = R"PY(
import json, sys, xlrd
bk = xlrd.open_workbook(sys.argv[1], formatting_info=True, ragged_rows=True)
sh = bk.sheet_by_index(0)
assert bk.nsheets == 1 and sh.name == "Sheet1"
align = lambda c: -1 if c.xf_index is None else bk.xf_list[c.xf_index].alignment.hor_align
print(json.dumps([[[c.ctype, c.value, align(c)] for c in sh.row(r)] for r in range(sh.nrows)]))
)PY";
constexpr int kText = 1, kBlank = 6, kGeneral = 0, kCentred = 2;

struct Cell {
    int type;
    QString value;
    int align;
};
using Rows = std::vector<std::vector<Cell>>;

Rows readWithXlrd(const QString& path) {
    Rows rows;
    QProcess python;
    python.start("/usr/bin/python3", {QStringLiteral("-c"), QString::fromUtf8(kReadScript), path});
    if (!python.waitForFinished(300000) || python.exitCode() != 0) {
        ADD_FAILURE() << "xlrd failed: " << python.readAllStandardError().toStdString();
    }
    for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        rows.emplace_back();
        for (const QJsonValue& cell : row.toArray()) {
            const QJsonArray c = cell.toArray();
            rows.back().push_back({c[0].toInt(), c[1].toString(), c[2].toInt()});
        }
    }
    return rows;
}

// Fills the sheet the way the export does: column by column, alignment before value.
bool exportTable(Spreadsheet& book, const std::vector<QStringList>& table) {
    bool ok = book.newWorkbook();
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < int(table.size()); ++r) {
            ok = ok && book.setHorizontalAlignment(r + 1, c + 1, kXlCenter) &&
                 book.setValue(r + 1, c + 1, table[r][c]);
        }
    }
    return ok;
}

const QStringList kHeaders = QString::fromUtf8("NO.|R|ρ|ρLenght|Rc|Rp|I|V").split('|');

// Every cell must read back as its text (BLANK when empty), centred.
void expectTable(const Rows& rows, const std::vector<QStringList>& table) {
    ASSERT_GE(rows.size(), table.size());
    for (int r = 0; r < int(table.size()); ++r) {
        ASSERT_EQ(rows[r].size(), 8u) << r;
        for (int c = 0; c < 8; ++c) {
            const Cell& cell = rows[r][c];
            ASSERT_EQ(cell.value, table[r][c]) << r << "," << c;
            ASSERT_EQ(cell.type, table[r][c].isEmpty() ? kBlank : kText) << r << "," << c;
            ASSERT_EQ(cell.align, kCentred) << r << "," << c;
        }
    }
}

class XlsWorkbookTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    Rows saveAndRead() {
        EXPECT_TRUE(book->saveAs(path("out.xls"))) << book->lastError().toStdString();
        return readWithXlrd(path("out.xls"));
    }
    QTemporaryDir dir;
    std::unique_ptr<Spreadsheet> book = makeXlsWorkbook();
};

TEST_F(XlsWorkbookTest, FullTableReadsBackWithTextsBlanksAndAlignment) {
    // 32767 records, enough to need the DIFAT, with an empty record, unusual texts, and strings
    // longer than a record, which go on in CONTINUE records.
    std::vector<QStringList> table = {kHeaders};
    for (int k = 1; k <= 32767; ++k) {
        const QString n = QString::number(k);
        table.push_back(
            QString::fromUtf8("N|N.5Ω|N.2KΩm|Nm|N3Ω|N0Ω|NmA|N.1V").replace('N', n).split('|'));
    }
    table[1] = QStringList(8, QString());
    table[2] =
        QString::fromUtf8("OL |12.34Ω|1.52KΩm|通信成功|😀 Ω|  spaced  |tab\there|ÿĀ").split('|');
    table[300][3] = QString::fromUtf8("ρΩ").repeated(9000);
    table[301][4] = QString(20000, QLatin1Char('L'));
    table[302][5] = QString::fromUtf8("Ω").repeated(32767);
    table[303][6] = QString::fromUtf8("😀").repeated(9000);
    ASSERT_TRUE(exportTable(*book, table));
    // Past the table: a text with an unpaired surrogate, re-set to general alignment; a text
    // emptied again and never aligned, which leaves no cell.
    const int extra = int(table.size()) + 1;
    ASSERT_TRUE(book->setHorizontalAlignment(extra, 1, kXlCenter));
    ASSERT_TRUE(book->setHorizontalAlignment(extra, 1, 1));
    ASSERT_TRUE(book->setValue(extra, 1, QString("a") + QChar(0xD800) + QChar('b')));
    ASSERT_TRUE(book->setValue(extra, 5, QStringLiteral("cleared")));
    ASSERT_TRUE(book->setValue(extra, 5, QString()));
    const Rows back = saveAndRead();
    expectTable(back, table);
    ASSERT_EQ(back.size(), table.size() + 1);
    ASSERT_EQ(back.back().size(), 1u);
    EXPECT_EQ(back.back()[0].value, QString("a") + QChar::ReplacementCharacter + 'b');
    EXPECT_EQ(back.back()[0].align, kGeneral);
    QFile file(path("out.xls"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_GE(readU32(file.read(0x4C), 0x48), 1u) << "no DIFAT sector";
}

TEST_F(XlsWorkbookTest, TooLargeOrInvalidIsRejectedWithAReason) {
    // {row, column, why it is refused}; no reason: accepted.
    const std::tuple<int, int, const char*> cases[] = {{65536, 256, ""},
                                                       {65537, 1, "too large"},
                                                       {1, 257, "too large"},
                                                       {0, 1, "count from 1"},
                                                       {1, 0, "count from 1"}};
    ASSERT_TRUE(book->newWorkbook());
    for (const auto& [row, column, reason] : cases) {
        SCOPED_TRACE(::testing::Message() << row << "," << column);
        EXPECT_EQ(book->setValue(row, column, QStringLiteral("last")), !*reason);
        EXPECT_EQ(book->setHorizontalAlignment(row, column, kXlCenter), !*reason);
        EXPECT_TRUE(!*reason || book->lastError().contains(QLatin1String(reason)));
    }
    EXPECT_FALSE(book->setValue(1, 1, QString(32768, QLatin1Char('x'))));
    EXPECT_TRUE(book->lastError().contains(QStringLiteral("32767")));
    EXPECT_FALSE(book->setHorizontalAlignment(1, 1, 7));
    EXPECT_TRUE(book->lastError().contains(QStringLiteral("alignment")));
    const Rows back = saveAndRead();
    ASSERT_EQ(back.size(), 65536u);
    ASSERT_EQ(back.back().size(), 256u);
    EXPECT_EQ(back.back().back().value, QStringLiteral("last"));
    EXPECT_TRUE(back.front().empty());  // the rejected calls left nothing behind
}

TEST_F(XlsWorkbookTest, SaveFailsWithAReason) {
    EXPECT_FALSE(book->saveAs(path("out.xls")));  // no workbook yet
    ASSERT_TRUE(exportTable(*book, {kHeaders}));
    for (const QString& target : {path("no such folder/out.xls"), QString()}) {
        EXPECT_FALSE(book->saveAs(target));
        EXPECT_FALSE(book->lastError().isEmpty());
    }
    ASSERT_TRUE(book->close());
    EXPECT_FALSE(book->setValue(1, 1, QStringLiteral("x")));
    EXPECT_FALSE(book->saveAs(path("out.xls")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    book->quit();
    ASSERT_TRUE(book->newWorkbook());
    EXPECT_TRUE(saveAndRead().empty());  // an empty workbook still makes a readable file
}

#ifndef _WIN32  // POSIX file-size limits stand in for a full disk
// Makes every write beyond `bytes` fail (EFBIG) while it lives, as a full disk would.
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{bytes, saved.rlim_max};
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

TEST_F(XlsWorkbookTest, FailedWriteLeavesExistingFileAsItWas) {
    // A large write refused at once, and a small one refused only when the buffer is flushed.
    const std::pair<int, rlim_t> cases[] = {{2000, 16 * 1024}, {0, 4096}};
    const QString target = path("kept.xls");
    auto contents = [&] {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    for (const auto& [records, bytes] : cases) {
        SCOPED_TRACE(records);
        {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("the earlier workbook") > 0);
        }
        std::vector<QStringList> table = {kHeaders};
        table.resize(records + 1, QStringList(8, QStringLiteral("12.5")));
        ASSERT_TRUE(exportTable(*book, table));
        {
            FileSizeLimit limit(bytes);
            EXPECT_FALSE(book->saveAs(target));
        }
        EXPECT_FALSE(book->lastError().isEmpty());
        EXPECT_EQ(contents(), "the earlier workbook");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.xls"})
            << "no temporary file is left behind";
        // Once the disk has room again the same workbook replaces the old file.
        EXPECT_TRUE(book->saveAs(target)) << book->lastError().toStdString();
        EXPECT_EQ(contents().left(8).toHex(), "d0cf11e0a1b11ae1");
    }
}
#endif

// Byte-level checks where the reader above is blind.

TEST(CompoundFile, LayoutIsTheSmallestThatMapsEverySector) {
    // {stream bytes, stream sectors, FAT sectors, DIFAT sectors}, from 128 F >= W + F + D + 1.
    const std::tuple<qint64, std::uint32_t, std::uint32_t, std::uint32_t> cases[] = {
        {4096, 8, 1, 0},          {4097, 9, 1, 0},          {126 * 512 + 1, 127, 2, 0},
        {7087104, 13842, 109, 0}, {7087105, 13843, 110, 1}, {30000 * 512, 30000, 237, 2}};
    for (const auto& [bytes, stream, fat, difat] : cases) {
        SCOPED_TRACE(bytes);
        const cfb::Layout layout = cfb::planLayout(bytes);
        EXPECT_EQ(layout.streamSectors, stream);
        EXPECT_EQ(layout.fatSectors, fat);
        EXPECT_EQ(layout.difatSectors, difat);
        EXPECT_EQ(cfb::buildSingleStreamFile("Workbook", QByteArray(bytes, 'w')).size(),
                  (stream + fat + difat + 2) * 512);
    }
}

TEST(CompoundFile, LargeFileChainsItsFatThroughTheDifat) {
    const QByteArray file = cfb::buildSingleStreamFile("Workbook", QByteArray(30000 * 512, 'w'));
    auto at = [&](std::uint32_t s, int k) { return readU32(file, (s + 1) * 512 + 4 * k); };
    auto fat = [&](std::uint32_t id) { return at(30000 + id / 128, id % 128); };
    EXPECT_EQ(readU32(file, 0x2C), 237u);
    EXPECT_EQ(readU32(file, 0x48), 2u);
    ASSERT_EQ(readU32(file, 0x44), 30237u);  // the DIFAT follows the stream and the FAT
    EXPECT_EQ(at(30237, 127), 30238u);
    EXPECT_EQ(at(30238, 127), cfb::kEndOfChain);
    // 237 FAT sector ids: 109 in the header, 127 in the first DIFAT sector, 1 in the second.
    for (int k = 0; k < 109; ++k) ASSERT_EQ(readU32(file, 0x4C + 4 * k), 30000u + k) << k;
    for (int k = 0; k < 127; ++k) ASSERT_EQ(at(30237, k), 30109u + k) << k;
    EXPECT_EQ(at(30238, 0), 30236u);
    for (int k = 1; k < 127; ++k) ASSERT_EQ(at(30238, k), cfb::kFreeSector) << k;
    // The stream's chain, the FAT's and DIFAT's own sectors, the directory, the free rest.
    using namespace cfb;
    const std::uint32_t ids[] = {0, 29999, 30000, 30236, 30237, 30238, 30239, 30240};
    const std::uint32_t next[] = {1,           kEndOfChain,  kFatSector,
                                  kFatSector,  kDifatSector, kDifatSector,
                                  kEndOfChain, kFreeSector};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(fat(ids[k]), next[k]) << ids[k];
}

TEST(CompoundFile, RejectsWhatItCannotWrite) {
    // Too short for ordinary sectors, no stream, no name, a name of 32 characters.
    const std::pair<QString, int> cases[] = {
        {"Workbook", 4095}, {"Workbook", 0}, {"", 4096}, {QString(32, 'n'), 4096}};
    for (const auto& [name, size] : cases) {
        EXPECT_TRUE(cfb::buildSingleStreamFile(name, QByteArray(size, 'w')).isEmpty()) << size;
    }
    EXPECT_FALSE(cfb::buildSingleStreamFile(QString(31, 'n'), QByteArray(4096, 'w')).isEmpty());
}

// Reads back the strings of an SST and its CONTINUE records, noting every broken rule.
QStringList decodeSst(const QByteArray& stream, QStringList& problems) {
    std::vector<QByteArray> parts;  // the data of the SST, then of each CONTINUE
    for (int at = 0; at + 4 <= stream.size(); at += 4 + readU16(stream, at + 2)) {
        const std::uint16_t id = readU16(stream, at);
        if (id == biff8::kSst || id == biff8::kContinue) {
            parts.push_back(stream.mid(at + 4, readU16(stream, at + 2)));
        }
    }
    std::size_t p = 0;
    int pos = 8;
    QStringList strings;
    for (std::uint32_t k = 0; k < readU32(parts[0], 4); ++k) {
        if (pos == parts[p].size() && ++p < parts.size())
            pos = 0;  // starts a CONTINUE
        if (p == parts.size() || pos + 3 >= parts[p].size())
            return strings;
        int unit = (parts[p][pos + 2] & 1) + 1;
        QString text;
        for (int left = readU16(parts[p], (pos += 3) - 3); left > 0; --left, pos += unit) {
            if (pos == parts[p].size()) {  // goes on in a CONTINUE, after a flags byte
                if (++p == parts.size())
                    return strings;
                if (text.back().isHighSurrogate())
                    problems << "pair split";
                unit = (parts[p][0] & 1) + 1;
                pos = 1;
            }
            if (pos + unit > parts[p].size())
                return strings;  // half a character
            text.append(QChar(unit == 2 ? readU16(parts[p], pos) : std::uint8_t(parts[p][pos])));
        }
        strings << text;
    }
    return strings;
}

TEST(Biff8Sst, LongStringsGoOnInContinueRecordsWithoutSplittingCharacters) {
    const QString emoji = QString::fromUtf8("😀").repeated(9000);
    const std::vector<QStringList> tables = {
        {QString::fromUtf8("ΩΩ"), emoji},  // the first record ends on an odd unit count
        {emoji, QString(20000, 'x'), QString::fromUtf8("Ω").repeated(biff8::kMaxStringChars)},
        {QString(biff8::kMaxRecordData - 8 - 3, 'a'), "b"}};  // the first string fills a record
    for (const QStringList& strings : tables) {
        SCOPED_TRACE(strings.front().left(3).toStdString());
        QByteArray stream;
        biff8::appendSst(stream, strings, 7);
        QStringList problems;
        EXPECT_EQ(decodeSst(stream, problems), strings);
        EXPECT_TRUE(problems.isEmpty()) << problems.join("; ").toStdString();
    }
}

}  // namespace
}  // namespace kelvora
