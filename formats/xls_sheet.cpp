#include "formats/xls_sheet.h"

namespace kelvora {

bool XlsSheet::setText(int row, int column, const QString& text) {
    Cell& cell = cellAt(row, column);
    if (text.isEmpty()) {
        cell &= kCentred;
        return true;
    }
    const std::uint32_t ref = strings_.intern(text);
    if (ref == XlsStrings::kNoIndex) {
        return false;
    }
    cell = (cell & kCentred) | (ref + 1);
    return true;
}

void XlsSheet::setCentred(int row, int column, bool centred) {
    Cell& cell = cellAt(row, column);
    cell = centred ? cell | kCentred : cell & ~kCentred;
}

void XlsSheet::clear() {
    std::vector<std::vector<Cell>>().swap(columns_);
    rowCount_ = 0;
    strings_.clear();
}

XlsSheet::Cell& XlsSheet::cellAt(int row, int column) {
    Q_ASSERT(inRange(row, column));
    if (column >= int(columns_.size())) {
        columns_.resize(column + 1);
    }
    std::vector<Cell>& cells = columns_[column];
    if (row >= int(cells.size())) {
        // The first column sets the height that the others then take at once.
        cells.resize(std::max(row + 1, std::min(rowCount_, kMaxRows)));
        rowCount_ = std::max(rowCount_, row + 1);
    }
    return cells[row];
}

}  // namespace kelvora
