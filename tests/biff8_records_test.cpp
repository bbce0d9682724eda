#include "platform/biff8_records.h"

#include <gtest/gtest.h>

#include "biff8_test_reader.h"

namespace kelvora::biff8 {
namespace {

using kelvora::testing::decodeSst;
using kelvora::testing::readBiffRecords;

TEST(Biff8ShortString, EncodesCountFlagsAndCharacters) {
    struct Case {
        QString text;
        const char* hex;
    };
    const Case cases[] = {
        {QStringLiteral("Arial"), "050041726961 6c"},
        {QStringLiteral("Sheet1"), "06005368656574 31"},
        {QString::fromUtf8("ρ"), "0101c103"},
        {QString::fromUtf8("Ω"), "0101a903"},
        {QString::fromUtf8("é"), "0100e9"},  // Latin-1 still fits one byte a character
        {QString::fromUtf8("aΩ"), "0201 6100 a903"},
        {QString(), "0000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shortString(c.text).toHex(), QByteArray(c.hex).replace(' ', ""))
            << c.text.toStdString();
    }
}

TEST(Biff8ShortString, FitsCompressedOnlyUpToU00FF) {
    EXPECT_TRUE(fitsCompressed(QStringLiteral("NO. R Rc Rp I V 12.5")));
    EXPECT_TRUE(fitsCompressed(QString(QChar(0x00FF))));
    EXPECT_FALSE(fitsCompressed(QString(QChar(0x0100))));
    EXPECT_FALSE(fitsCompressed(QString::fromUtf8("ρLenght")));
    EXPECT_FALSE(fitsCompressed(QString::fromUtf8("读取")));
}

TEST(Biff8Text, UnpairedSurrogatesBecomeReplacementCharacters) {
    const QChar high(0xD83D), low(0xDE00), fffd(0xFFFD);
    struct Case {
        QString in, out;
    };
    const Case cases[] = {
        {QString::fromUtf8("12.3Ω"), QString::fromUtf8("12.3Ω")},
        {QString() + high + low, QString() + high + low},
        {QString() + 'a' + high + 'b', QString() + 'a' + fffd + 'b'},
        {QString() + 'a' + low, QString() + 'a' + fffd},
        {QString() + high, QString(fffd)},
        {QString() + low + high, QString() + fffd + fffd},
        {QString() + high + high + low, QString() + fffd + high + low},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wellFormedUtf16(c.in), c.out) << c.in.toStdU16String().size();
    }
}

TEST(Biff8Record, HeaderHoldsIdAndLength) {
    QByteArray stream;
    appendRecord(stream, kDimensions, QByteArray(14, '\x7f'));
    appendRecord(stream, kEof, {});
    EXPECT_EQ(stream.left(4).toHex(), "00020e00");
    EXPECT_EQ(stream.mid(18).toHex(), "0a000000");
}

TEST(Biff8Sst, BucketSizeGrowsPast1024Strings) {
    const std::pair<int, int> cases[] = {{0, 8}, {1, 8}, {1024, 8}, {1025, 9}, {262136, 2048}};
    for (const auto& [strings, perBucket] : cases) {
        EXPECT_EQ(sstBucketSize(strings), perBucket) << strings;
    }
}

QString repeated(const char* utf8, int times) {
    return QString::fromUtf8(utf8).repeated(times);
}

QStringList numbered(int count, const char* pattern) {
    QStringList out;
    for (int k = 0; k < count; ++k) {
        out << QString::fromUtf8(pattern).arg(k);
    }
    return out;
}

struct SstCase {
    const char* name;
    QStringList strings;
    int minContinues;
    int minSplit;
};

std::vector<SstCase> sstCases() {
    QStringList mixed = numbered(3000, "%1.5KΩm");
    mixed.insert(1500, repeated("ρΩ", 10000));           // 20000 UTF-16 units
    mixed.insert(10, QString(20000, QLatin1Char('x')));  // compressed, longer than a record
    QStringList pairs = numbered(700, "%1Ω");
    pairs << QString::fromUtf8("😀").repeated(9000);  // surrogate pairs over boundaries
    QStringList edge;  // one string ending exactly at the first record's end
    edge << QString(kMaxRecordData - 8 - 3, QLatin1Char('a')) << QStringLiteral("b");
    return {
        {"Small", {QStringLiteral("NO."), QStringLiteral("R"), QString::fromUtf8("ρ")}, 0, 0},
        {"ManyShortNoneSplit", numbered(5000, "record %1 ρ"), 5, 0},
        {"LongStringsSplit", mixed, 8, 2},
        {"SurrogatePairsKeptWhole", pairs, 2, 1},
        {"FillsRecordExactly", edge, 1, 0},
        {"LongestCellText", {repeated("Ω", kMaxStringChars)}, 7, 1},
    };
}

void PrintTo(const SstCase& c, std::ostream* os) {
    *os << c.name;
}

class Biff8SstCases : public ::testing::TestWithParam<SstCase> {};

TEST_P(Biff8SstCases, DecodesBackWithValidSplitsAndIndex) {
    const SstCase& c = GetParam();
    QByteArray stream;
    appendRecord(stream, kBof, QByteArray(16, '\x01'));  // stands for the records before it
    appendSst(stream, c.strings, 12345);
    const auto records = readBiffRecords(stream);
    ASSERT_GE(records.size(), 2u);
    std::size_t sstAt = 0;
    while (sstAt < records.size() && records[sstAt].id != kSst) {
        ++sstAt;
    }
    ASSERT_LT(sstAt, records.size());
    for (const auto& record : records) {
        ASSERT_LE(record.data.size(), kMaxRecordData);
    }

    const auto sst = decodeSst(records, sstAt);
    EXPECT_TRUE(sst.problems.isEmpty()) << sst.problems.join("; ").toStdString();
    EXPECT_EQ(sst.totalReferences, 12345u);
    EXPECT_EQ(sst.declaredStrings, std::uint32_t(c.strings.size()));
    ASSERT_EQ(sst.strings.size(), c.strings.size());
    for (int k = 0; k < c.strings.size(); ++k) {
        ASSERT_EQ(sst.strings[k], c.strings[k]) << "string " << k;
    }
    EXPECT_GE(sst.continueRecords, c.minContinues);
    EXPECT_GE(sst.splitStrings, c.minSplit);

    // EXTSST follows the last CONTINUE and points at every bucket's first string.
    const std::size_t extAt = sstAt + 1 + std::size_t(sst.continueRecords);
    ASSERT_LT(extAt, records.size());
    ASSERT_EQ(records[extAt].id, kExtSst);
    const QByteArray& ext = records[extAt].data;
    const int perBucket = readU16(ext, 0);
    EXPECT_EQ(perBucket, sstBucketSize(int(c.strings.size())));
    const int buckets = (int(c.strings.size()) + perBucket - 1) / perBucket;
    ASSERT_EQ(ext.size(), 2 + 8 * buckets);
    for (int b = 0; b < buckets; ++b) {
        EXPECT_EQ(int(readU32(ext, 2 + 8 * b)), sst.stringOffsets[b * perBucket]) << b;
        EXPECT_EQ(int(readU16(ext, 6 + 8 * b)), sst.recordOffsets[b * perBucket]) << b;
        EXPECT_EQ(readU16(ext, 8 + 8 * b), 0) << b;
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, Biff8SstCases, ::testing::ValuesIn(sstCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvora::biff8
