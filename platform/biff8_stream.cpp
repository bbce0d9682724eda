#include "platform/biff8_stream.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "platform/biff8_records.h"
#include "platform/le_bytes.h"

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

// What the cells need from the string table: distinct texts in first-use order and, per
// non-empty text in row-major order, its index.
struct SharedStrings {
    QStringList strings;
    std::vector<std::uint32_t> cellIndices;
};

SharedStrings collectStrings(const XlsSheet& sheet) {
    SharedStrings shared;
    QHash<QString, std::uint32_t> indexOf;
    for (const auto& row : sheet.rows()) {
        for (const XlsCell& cell : row) {
            if (cell.text.isEmpty()) {
                continue;
            }
            auto found = indexOf.constFind(cell.text);
            if (found == indexOf.constEnd()) {
                found =
                    indexOf.insert(cell.text, static_cast<std::uint32_t>(shared.strings.size()));
                shared.strings.append(cell.text);
            }
            shared.cellIndices.push_back(found.value());
        }
    }
    return shared;
}

QByteArray dimensions(const XlsSheet& sheet) {
    int firstRow = -1, lastRow = -1, firstColumn = XlsSheet::kMaxColumns, lastColumn = -1;
    const auto& rows = sheet.rows();
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < int(rows[r].size()); ++c) {
            if (rows[r][c].isPresent()) {
                if (firstRow < 0) {
                    firstRow = r;
                }
                lastRow = r;
                firstColumn = std::min(firstColumn, c);
                lastColumn = std::max(lastColumn, c);
            }
        }
    }
    QByteArray data;
    if (firstRow < 0) {
        data.fill('\0', 14);  // an empty sheet
        return data;
    }
    appendU32(data, static_cast<std::uint32_t>(firstRow));
    appendU32(data, static_cast<std::uint32_t>(lastRow + 1));
    appendU16(data, static_cast<std::uint16_t>(firstColumn));
    appendU16(data, static_cast<std::uint16_t>(lastColumn + 1));
    appendU16(data, 0);
    return data;
}

void appendCells(QByteArray& stream, const XlsSheet& sheet, const SharedStrings& shared) {
    auto nextIndex = shared.cellIndices.cbegin();
    const auto& rows = sheet.rows();
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int c = 0; c < int(rows[r].size()); ++c) {
            const XlsCell& cell = rows[r][c];
            if (!cell.isPresent()) {
                continue;
            }
            appendU16(stream, cell.text.isEmpty() ? kBlank : kLabelSst);
            appendU16(stream, cell.text.isEmpty() ? 6 : 10);
            appendU16(stream, static_cast<std::uint16_t>(r));
            appendU16(stream, static_cast<std::uint16_t>(c));
            appendU16(stream, cell.centred ? kCentredCellXf : kDefaultCellXf);
            if (!cell.text.isEmpty()) {
                appendU32(stream, *nextIndex++);
            }
        }
    }
}

}  // namespace

QByteArray buildWorkbookStream(const XlsSheet& sheet) {
    const SharedStrings shared = collectStrings(sheet);
    QByteArray stream;

    appendRecord(stream, kBof, bof(kGlobalsBof));
    appendRecord(stream, kCodePage, u16Data(kUtf16CodePage));
    appendRecord(stream, kWindow1, window1());
    for (int k = 0; k < kFontCount; ++k) {
        appendRecord(stream, kFont, font());
    }
    for (int k = 0; k < kStyleXfCount; ++k) {
        appendRecord(stream, kXf, xf(true, 0, k == 0 ? 0x00 : 0xF4));
    }
    appendRecord(stream, kXf, xf(false, 0, 0x00));                               // XF 15
    appendRecord(stream, kXf, xf(false, kAlignCentre, kAlignmentAttributeSet));  // XF 16
    QByteArray normalStyle;
    appendU16(normalStyle, 0x8000);  // built-in style on XF 0
    appendU8(normalStyle, 0x00);     // Normal
    appendU8(normalStyle, 0xFF);
    appendRecord(stream, kStyle, normalStyle);
    const int sheetOffsetField = int(stream.size()) + 4;
    appendRecord(stream, kBoundSheet, boundSheet());
    appendSst(stream, shared.strings, static_cast<std::uint32_t>(shared.cellIndices.size()));
    appendRecord(stream, kEof, {});

    putU32(stream, sheetOffsetField, static_cast<std::uint32_t>(stream.size()));
    appendRecord(stream, kBof, bof(kWorksheetBof));
    appendRecord(stream, kWsBool, u16Data(0x04C1));
    appendRecord(stream, kDimensions, dimensions(sheet));
    appendCells(stream, sheet, shared);
    appendRecord(stream, kWindow2, window2());
    appendRecord(stream, kEof, {});

    if (stream.size() < kMinStreamSize) {
        stream.append(kMinStreamSize - int(stream.size()), '\0');
    }
    return stream;
}

}  // namespace kelvora::biff8
