#pragma once

#include <QByteArray>

#include "platform/xls_sheet.h"

namespace kelvora::biff8 {

constexpr int kDefaultCellXf = 15;
constexpr int kCentredCellXf = 16;
constexpr int kMinStreamSize = 4096;  // shorter streams would have to live in a mini stream

// The "Workbook" stream of a BIFF8 file with one worksheet named "Sheet1": every text in the
// shared string table, empty centred cells as BLANK cells, padded to kMinStreamSize.
QByteArray buildWorkbookStream(const XlsSheet& sheet);

}  // namespace kelvora::biff8
