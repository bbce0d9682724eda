#include "platform/biff8_stream.h"

#include <gtest/gtest.h>

#include <vector>

#include "biff8_test_reader.h"
#include "platform/biff8_records.h"

namespace kelvora::biff8 {
namespace {

using kelvora::testing::BiffRecord;
using kelvora::testing::readBiffRecords;

std::vector<std::uint16_t> ids(const std::vector<BiffRecord>& records) {
    std::vector<std::uint16_t> out;
    for (const auto& record : records) {
        out.push_back(record.id);
    }
    return out;
}

std::size_t indexOf(const std::vector<BiffRecord>& records, std::uint16_t id,
                    std::size_t from = 0) {
    for (std::size_t k = from; k < records.size(); ++k) {
        if (records[k].id == id) {
            return k;
        }
    }
    return records.size();
}

XlsSheet headerSheet() {
    XlsSheet sheet;
    const char* headers[] = {"NO.", "R", "ρ", "ρLenght", "Rc", "Rp", "I", "V"};
    for (int c = 0; c < 8; ++c) {
        sheet.setCentred(0, c, true);
        sheet.setText(0, c, QString::fromUtf8(headers[c]));
    }
    return sheet;
}

TEST(Biff8Stream, GlobalsThenOneWorksheetInOrder) {
    const QByteArray stream = buildWorkbookStream(headerSheet());
    const auto records = readBiffRecords(stream);
    std::vector<std::uint16_t> expected = {kBof, kCodePage, kWindow1, kFont, kFont, kFont, kFont};
    expected.insert(expected.end(), 17, kXf);
    const std::vector<std::uint16_t> tail = {kStyle, kBoundSheet, kSst,    kExtSst,
                                             kEof,   kBof,        kWsBool, kDimensions};
    expected.insert(expected.end(), tail.begin(), tail.end());
    expected.insert(expected.end(), 8, kLabelSst);
    expected.push_back(kWindow2);
    expected.push_back(kEof);
    EXPECT_EQ(ids(records), expected);

    EXPECT_EQ(records[0].data.toHex(), "00060500bb0dcc070000000006000000");
    EXPECT_EQ(readU16(records[0].data, 0), 0x0600);
    EXPECT_EQ(readU16(records[0].data, 2), 0x0005);
    EXPECT_EQ(records[0].data.size(), 16);
    EXPECT_EQ(readU16(records[1].data, 0), 1200);  // UTF-16 code page

    // The sheet's offset points at the worksheet BOF.
    const BiffRecord& boundSheet = records[indexOf(records, kBoundSheet)];
    const std::size_t sheetBof = indexOf(records, kBof, 1);
    EXPECT_EQ(int(readU32(boundSheet.data, 0)), records[sheetBof].offset);
    EXPECT_EQ(readU16(records[sheetBof].data, 2), 0x0010);
    EXPECT_EQ(boundSheet.data.mid(6).toHex(), QByteArray("06005368656574 31").replace(' ', ""));

    // XF 15 plain, XF 16 centred with its alignment marked as set.
    const std::size_t firstXf = indexOf(records, kXf);
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(readU16(records[firstXf + k].data, 4), 0xFFF5) << "style XF " << k;
    }
    EXPECT_EQ(records[firstXf + 15].data.toHex(), "000000000100200000000000000000000000c020");
    const QByteArray& centred = records[firstXf + 16].data;
    EXPECT_EQ(readU16(centred, 4), 0x0001);                  // locked, parent XF 0
    EXPECT_EQ(static_cast<std::uint8_t>(centred[6]), 0x22);  // bottom, centred
    EXPECT_EQ(static_cast<std::uint8_t>(centred[9]), 0x10);
    EXPECT_EQ(readU16(centred, 18), 0x20C0);
}

TEST(Biff8Stream, CellsAreWrittenRowByRowWithTheirXf) {
    XlsSheet sheet;
    sheet.setCentred(1, 2, true);  // set out of order: rows come out sorted anyway
    sheet.setText(1, 2, QString::fromUtf8("Ω"));
    sheet.setCentred(0, 5, true);  // empty and centred: BLANK
    sheet.setText(0, 1, QStringLiteral("plain"));
    sheet.setText(1, 0, QString::fromUtf8("Ω"));  // same text shares one string
    const auto records = readBiffRecords(buildWorkbookStream(sheet));
    std::vector<BiffRecord> cells;
    for (const auto& record : records) {
        if (record.id == kLabelSst || record.id == kBlank) {
            cells.push_back(record);
        }
    }
    struct Expected {
        std::uint16_t id;
        const char* hex;  // row, column, XF, string index
    };
    const Expected expected[] = {
        {kLabelSst, "0000 0100 0f00 00000000"},
        {kBlank, "0000 0500 1000"},
        {kLabelSst, "0100 0000 0f00 01000000"},
        {kLabelSst, "0100 0200 1000 01000000"},
    };
    ASSERT_EQ(cells.size(), std::size(expected));
    for (std::size_t k = 0; k < cells.size(); ++k) {
        EXPECT_EQ(cells[k].id, expected[k].id) << k;
        EXPECT_EQ(cells[k].data.toHex(), QByteArray(expected[k].hex).replace(' ', "")) << k;
    }
    const auto sst = kelvora::testing::decodeSst(records, indexOf(records, kSst));
    EXPECT_EQ(sst.totalReferences, 3u);
    EXPECT_EQ(sst.strings, (QStringList{QStringLiteral("plain"), QString::fromUtf8("Ω")}));
}

struct DimensionCase {
    const char* name;
    std::vector<std::pair<int, int>> centredCells;
    const char* hex;  // first row, last row + 1, first column, last column + 1, 0
};

void PrintTo(const DimensionCase& c, std::ostream* os) {
    *os << c.name;
}

class Biff8Dimensions : public ::testing::TestWithParam<DimensionCase> {};

TEST_P(Biff8Dimensions, EncloseEveryCell) {
    XlsSheet sheet;
    for (const auto& [row, column] : GetParam().centredCells) {
        sheet.setCentred(row, column, true);
    }
    const auto records = readBiffRecords(buildWorkbookStream(sheet));
    const std::size_t at = indexOf(records, kDimensions);
    ASSERT_LT(at, records.size());
    EXPECT_EQ(records[at].data.toHex(), QByteArray(GetParam().hex).replace(' ', ""));
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, Biff8Dimensions,
    ::testing::Values(
        DimensionCase{"Empty", {}, "00000000 00000000 0000 0000 0000"},
        DimensionCase{"OneCell", {{0, 0}}, "00000000 01000000 0000 0100 0000"},
        DimensionCase{"Offset", {{4, 3}, {2, 6}}, "02000000 05000000 0300 0700 0000"},
        DimensionCase{"LastCellOfTheFormat", {{65535, 255}}, "ffff0000 00000100 ff00 0001 0000"},
        DimensionCase{"Table", {{0, 0}, {32767, 7}}, "00000000 00800000 0000 0800 0000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Biff8Stream, ShortStreamsArePaddedAfterTheLastEof) {
    const QByteArray stream = buildWorkbookStream(XlsSheet());
    ASSERT_EQ(stream.size(), kMinStreamSize);
    const auto records = readBiffRecords(stream);
    ASSERT_FALSE(records.empty());
    const BiffRecord& last = records.back();
    EXPECT_EQ(last.id, kEof);
    EXPECT_EQ(stream.mid(last.offset + 4), QByteArray(kMinStreamSize - last.offset - 4, '\0'));
}

TEST(Biff8Stream, CellsThatHoldNothingAreLeftOut) {
    XlsSheet sheet;
    sheet.setText(3, 3, QStringLiteral("x"));
    sheet.setText(3, 3, QString());  // emptied again
    sheet.setCentred(2, 2, true);
    sheet.setCentred(2, 2, false);  // alignment taken back
    const auto records = readBiffRecords(buildWorkbookStream(sheet));
    EXPECT_EQ(indexOf(records, kLabelSst), records.size());
    EXPECT_EQ(indexOf(records, kBlank), records.size());
    EXPECT_EQ(records[indexOf(records, kDimensions)].data, QByteArray(14, '\0'));
}

}  // namespace
}  // namespace kelvora::biff8
