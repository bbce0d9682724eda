#include "formats/biff8_stream.h"

#include <algorithm>
#include <vector>

#include "formats/biff8_records.h"
#include "formats/le_bytes.h"

namespace kelvora::biff8 {

namespace {

constexpr std::uint16_t kBiff8Version = 0x0600;
constexpr std::uint16_t kGlobalsBof = 0x0005;
constexpr std::uint16_t kWorksheetBof = 0x0010;
constexpr std::uint16_t kUtf16CodePage = 1200;
constexpr int kFontCount = 4;  // index 4 is skipped by readers, so four are enough
constexpr int kStyleXfCount = 15;
constexpr std::uint8_t kAlignBottom = 2 << 4;
constexpr std::uint8_t kAlignCentre = 2;  // 3 would be right-aligned in this format
constexpr std::uint8_t kAlignmentAttributeSet = 0x10;

QByteArray bof(std::uint16_t type) {
    QByteArray data;
    appendU16(data, kBiff8Version);
    appendU16(data, type);
    appendU16(data, 0x0DBB);  // build
    appendU16(data, 0x07CC);  // year
    appendU32(data, 0);       // file history
    appendU32(data, 6);       // lowest version that can read the file
    return data;
}

QByteArray u16Data(std::uint16_t value) {
    QByteArray data;
    appendU16(data, value);
    return data;
}

QByteArray window1() {
    QByteArray data;
    for (std::uint16_t twips : {360, 270, 14940, 9150}) {  // x, y, width, height
        appendU16(data, twips);
    }
    appendU16(data, 0x0038);  // horizontal and vertical scroll bars, sheet tabs
    appendU16(data, 0);       // active tab
    appendU16(data, 0);       // first visible tab
    appendU16(data, 1);       // selected tabs
    appendU16(data, 600);     // tab bar width ratio, per mille
    return data;
}

QByteArray font() {
    QByteArray data;
    appendU16(data, 200);     // 10 pt in twentieths of a point
    appendU16(data, 0);       // no italic, strike-out, outline
    appendU16(data, 0x7FFF);  // automatic colour
    appendU16(data, 400);     // normal weight
    appendU16(data, 0);       // no super- or subscript
    appendU8(data, 0);        // no underline
    appendU8(data, 0);        // family
    appendU8(data, 0);        // character set
    appendU8(data, 0);
    data.append(shortString(QStringLiteral("Arial")));
    return data;
}

QByteArray xf(bool styleXf, std::uint8_t horizontal, std::uint8_t usedAttributes) {
    QByteArray data;
    appendU16(data, 0);                          // font
    appendU16(data, 0);                          // number format: General
    appendU16(data, styleXf ? 0xFFF5 : 0x0001);  // locked; style XF without parent, or parent 0
    appendU8(data, static_cast<std::uint8_t>(kAlignBottom | horizontal));
    appendU8(data, 0);  // rotation
    appendU8(data, 0);  // indent, shrink, reading order
    appendU8(data, usedAttributes);
    data.append(8, '\0');     // no borders, no fill
    appendU16(data, 0x20C0);  // pattern colours: automatic
    return data;
}

QByteArray boundSheet() {
    QByteArray data;
    appendU32(data, 0);  // offset of the sheet's BOF, patched once the globals are laid out
    appendU8(data, 0);   // visible
    appendU8(data, 0);   // worksheet
    data.append(shortString(QStringLiteral("Sheet1")));
    return data;
}

QByteArray window2() {
    QByteArray data;
    appendU16(data, 0x06B6);  // grid lines, headers, zeros, default grid colour, outline, selected
    appendU16(data, 0);       // top row
    appendU16(data, 0);       // left column
    appendU16(data, 0x0040);  // grid line colour index
    data.append(18 - data.size(), '\0');
    return data;
}

// What the string table and DIMENSIONS need to know of the cells.
struct CellSummary {
    std::uint32_t textCells = 0;
    std::uint32_t distinctTexts = 0;
    int firstRow = -1, lastRow = -1, firstColumn = XlsSheet::kMaxColumns, lastColumn = -1;
};

template <typename Visit>
void forEachPresentCell(const XlsSheet& sheet, Visit visit) {
    const int rows = sheet.rowCount();
    const int columns = sheet.columnCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const XlsSheet::Cell cell = sheet.cell(r, c);
            if (XlsSheet::isPresent(cell)) {
                visit(r, c, cell);
            }
        }
    }
}

// Numbers the distinct texts in the order the cells first use them, row by row.
CellSummary numberTexts(XlsSheet& sheet) {
    XlsStrings& strings = sheet.strings();
    forEachPresentCell(sheet, [&](int, int, XlsSheet::Cell cell) {
        if (XlsSheet::hasText(cell)) {
            strings.setIndex(XlsSheet::textRef(cell), XlsStrings::kNoIndex);
        }
    });
    CellSummary summary;
    forEachPresentCell(sheet, [&](int r, int c, XlsSheet::Cell cell) {
        if (summary.firstRow < 0) {
            summary.firstRow = r;
        }
        summary.lastRow = r;
        summary.firstColumn = std::min(summary.firstColumn, c);
        summary.lastColumn = std::max(summary.lastColumn, c);
        if (XlsSheet::hasText(cell)) {
            ++summary.textCells;
            const std::uint32_t ref = XlsSheet::textRef(cell);
            if (strings.index(ref) == XlsStrings::kNoIndex) {
                strings.setIndex(ref, summary.distinctTexts++);
            }
        }
    });
    return summary;
}

void writeSst(ByteSink& sink, const XlsSheet& sheet, const CellSummary& summary) {
    const XlsStrings& strings = sheet.strings();
    SstWriter writer(sink, summary.textCells, summary.distinctTexts);
    std::uint32_t written = 0;
    forEachPresentCell(sheet, [&](int, int, XlsSheet::Cell cell) {
        if (XlsSheet::hasText(cell)) {
            const std::uint32_t ref = XlsSheet::textRef(cell);
            if (strings.index(ref) == written) {
                writer.add(strings.encoded(ref));
                ++written;
            }
        }
    });
    writer.finish();
}

QByteArray dimensions(const CellSummary& summary) {
    QByteArray data;
    if (summary.firstRow < 0) {
        data.fill('\0', 14);  // an empty sheet
        return data;
    }
    appendU32(data, static_cast<std::uint32_t>(summary.firstRow));
    appendU32(data, static_cast<std::uint32_t>(summary.lastRow + 1));
    appendU16(data, static_cast<std::uint16_t>(summary.firstColumn));
    appendU16(data, static_cast<std::uint16_t>(summary.lastColumn + 1));
    appendU16(data, 0);
    return data;
}

void writeCells(ByteSink& sink, const XlsSheet& sheet) {
    const XlsStrings& strings = sheet.strings();
    forEachPresentCell(sheet, [&](int r, int c, XlsSheet::Cell cell) {
        const bool text = XlsSheet::hasText(cell);
        sink.beginRecord(text ? kLabelSst : kBlank);
        sink.appendU16(static_cast<std::uint16_t>(r));
        sink.appendU16(static_cast<std::uint16_t>(c));
        sink.appendU16((cell & XlsSheet::kCentred) ? kCentredCellXf : kDefaultCellXf);
        if (text) {
            sink.appendU32(strings.index(XlsSheet::textRef(cell)));
        }
        sink.endRecord();
    });
}

}  // namespace

WorkbookStream writeWorkbookStream(ByteSink& sink, XlsSheet& sheet) {
    const CellSummary summary = numberTexts(sheet);
    WorkbookStream written;
    // Offsets in the stream (the sheet's, the string table's index) are the sink's positions.
    Q_ASSERT(sink.position() == 0);

    sink.appendRecord(kBof, bof(kGlobalsBof));
    sink.appendRecord(kCodePage, u16Data(kUtf16CodePage));
    sink.appendRecord(kWindow1, window1());
    for (int k = 0; k < kFontCount; ++k) {
        sink.appendRecord(kFont, font());
    }
    for (int k = 0; k < kStyleXfCount; ++k) {
        sink.appendRecord(kXf, xf(true, 0, k == 0 ? 0x00 : 0xF4));
    }
    sink.appendRecord(kXf, xf(false, 0, 0x00));                               // XF 15
    sink.appendRecord(kXf, xf(false, kAlignCentre, kAlignmentAttributeSet));  // XF 16
    QByteArray normalStyle;
    appendU16(normalStyle, 0x8000);  // built-in style on XF 0
    appendU8(normalStyle, 0x00);     // Normal
    appendU8(normalStyle, 0xFF);
    sink.appendRecord(kStyle, normalStyle);
    written.sheetOffsetField = sink.position() + 4;
    sink.appendRecord(kBoundSheet, boundSheet());
    writeSst(sink, sheet, summary);
    sink.appendRecord(kEof, {});

    written.sheetOffset = static_cast<std::uint32_t>(sink.position());
    sink.appendRecord(kBof, bof(kWorksheetBof));
    sink.appendRecord(kWsBool, u16Data(0x04C1));
    sink.appendRecord(kDimensions, dimensions(summary));
    writeCells(sink, sheet);
    sink.appendRecord(kWindow2, window2());
    sink.appendRecord(kEof, {});

    if (sink.position() < kMinStreamSize) {
        sink.appendZeros(kMinStreamSize - sink.position());
    }
    written.size = sink.position();
    return written;
}

}  // namespace kelvora::biff8
