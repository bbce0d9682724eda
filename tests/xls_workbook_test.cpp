#include "formats/xls_workbook.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include "formats/biff8_records.h"
#include "formats/compound_file.h"
#include "formats/le_bytes.h"
#include "save_test_support.h"
#include "support/fake_platform.h"

namespace kelvora {
namespace {

// Files are read back by python3-xlrd, a reader written independently of this code: each cell
// as its text, marked when it is no text or not centred.
const char* const kReadScript = R"PY(
import json, sys, xlrd
bk = xlrd.open_workbook(sys.argv[1], formatting_info=True, ragged_rows=True)
sh = bk.sheet_by_index(0)
assert bk.nsheets == 1 and sh.name == "Sheet1"
mark = lambda c: ("" if c.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_BLANK) else "<type>") + (
    "" if bk.xf_list[c.xf_index].alignment.hor_align == 2 else "<not centred>")
print(json.dumps([[str(c.value) + mark(c) for c in sh.row(r)] for r in range(sh.nrows)]))
)PY";

using Rows = QList<QStringList>;

Rows readWithXlrd(const QString& path) {
    QProcess python;
    python.start("/usr/bin/python3", {QStringLiteral("-c"), QString::fromUtf8(kReadScript), path});
    if (!python.waitForFinished(300000) || python.exitCode() != 0)
        ADD_FAILURE() << "xlrd failed: " << python.readAllStandardError().toStdString();
    Rows rows;
    for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
        rows.push_back(row.toVariant().toStringList());
    return rows;
}

// The real workbook of a full table (32767 records, enough to need the DIFAT) through the save
// command: every row whatever recordTotal says, every column, each cell a centred text.
TEST(SpreadsheetExport, FullTableReadsBack) {
    QTemporaryDir dir;
    auto t =
        testing::makeTestForm(dir.filePath("Kelvora"), "UTF-8", [] { return makeXlsWorkbook(); });
    Rows records = {{"1", "12.34KΩ", "", "", "2.00KΩ", "3.00KΩ", "", ""},
                    {"2", "", "123.4Ωm", "5.0m", "2.00KΩ", "3.00KΩ", "", ""},
                    {"3", "", "", "", "", "", "OL A", ""},
                    {"4", "", "", "", "", "", "", "50.0V"},
                    QStringList(8, QString()),
                    QString::fromUtf8("OL |通信成功|😀 Ω|  spaced  |tab\there|ÿĀ||").split('|')};
    for (int k = int(records.size()) + 1; k <= 32767; ++k)
        records << QString::fromUtf8("N|N.5Ω|N.2KΩm|Nm|N3Ω|N0Ω|NmA|N.1V")
                       .replace('N', QString::number(k))
                       .split('|');
    records[300][3] = QString::fromUtf8("ρΩ").repeated(9000);  // strings longer than a record
    records[301][4] = QString(20000, QLatin1Char('L'));
    records[302][5] = QString::fromUtf8("Ω").repeated(32767);
    testing::fillTable(*t->form, records);
    t->form->recordTotal = 2;
    t->form->liveView = false;
    const QString path = dir.filePath(QStringLiteral("记录.xls"));
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, path, 2, {}});
    t->form->Command2_Click();
    ASSERT_TRUE(t->messages->shown.isEmpty()) << t->messages->shown[0].text.toStdString();
    EXPECT_GE(readU32(testing::readBytes(path).left(0x4C), 0x48), 1u) << "no DIFAT sector";
    EXPECT_TRUE(readWithXlrd(path) == Rows{testing::kRecordHeaders} + records);
}

// Strings longer than a record go on in CONTINUE records; the reader refuses a character split
// between two records.
TEST(XlsWorkbook, LongStringsReadBackWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.xls");
    const QString emoji = QString::fromUtf8("😀").repeated(9000);
    const std::vector<QStringList> tables = {
        {QString::fromUtf8("ΩΩ"), emoji},  // the first record ends on an odd unit count
        {emoji, QString(20000, 'x'), QString::fromUtf8("Ω").repeated(biff8::kMaxStringChars)},
        {QString(biff8::kMaxRecordData - 8 - 3, 'a'), "b"},  // the first string fills a record
        {"NO."}};                                            // a workbook smaller than a sector
    for (const QStringList& strings : tables) {
        SCOPED_TRACE(strings.front().left(3).toStdString());
        const std::unique_ptr<Spreadsheet> book = makeXlsWorkbook();
        Rows expected;
        ASSERT_TRUE(book->newWorkbook());
        for (const QString& text : strings) {
            const int row = int(expected.size()) + 1;
            ASSERT_TRUE(book->setHorizontalAlignment(row, 1, kXlCenter) &&
                        book->setValue(row, 1, text));
            expected << QStringList{text};
        }
        ASSERT_TRUE(book->saveAs(path)) << book->lastError().toStdString();
        EXPECT_TRUE(readWithXlrd(path) == expected);
    }
}

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
    EXPECT_EQ(readU32(file, 0x4C + 4 * 108), 30108u);
    EXPECT_EQ(at(30237, 126), 30235u);
    EXPECT_EQ(at(30238, 0), 30236u);
    EXPECT_EQ(at(30238, 1), cfb::kFreeSector);
    // The stream's chain, the FAT's and DIFAT's own sectors, the directory, the free rest.
    using namespace cfb;
    const std::uint32_t ids[] = {0, 29999, 30000, 30236, 30237, 30238, 30239, 30240};
    const std::uint32_t next[] = {1,           kEndOfChain,  kFatSector,
                                  kFatSector,  kDifatSector, kDifatSector,
                                  kEndOfChain, kFreeSector};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(fat(ids[k]), next[k]) << ids[k];
}

}  // namespace
}  // namespace kelvora
