#pragma once

#include <QByteArray>
#include <cstdint>

#include "formats/byte_sink.h"

#include "formats/xls_sheet.h"

namespace kelvora::biff8 {

constexpr int kDefaultCellXf = 15;
constexpr int kCentredCellXf = 16;
constexpr int kMinStreamSize = 4096;  // shorter streams would have to live in a mini stream

struct WorkbookStream {
    qint64 size = 0;
    // Where the sheet's offset goes (the BOUNDSHEET record's first field) and its value; the
    // caller puts it in place once the stream is out, since it follows the string table.
    qint64 sheetOffsetField = 0;
    std::uint32_t sheetOffset = 0;
};

// Writes the "Workbook" stream of a BIFF8 file with one worksheet named "Sheet1": every text in
// the shared string table, empty centred cells as BLANK cells, padded to kMinStreamSize. The
// sheet's texts are numbered in place as the string table orders them. The sink starts empty:
// its positions are the stream's offsets.
WorkbookStream writeWorkbookStream(ByteSink& sink, XlsSheet& sheet);

}  // namespace kelvora::biff8
