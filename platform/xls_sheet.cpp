#include "platform/xls_sheet.h"

namespace kelvora {

XlsCell XlsSheet::cell(int row, int column) const {
    if (row < 0 || column < 0 || row >= int(rows_.size()) || column >= int(rows_[row].size())) {
        return {};
    }
    return rows_[row][column];
}

XlsCell& XlsSheet::cellAt(int row, int column) {
    Q_ASSERT(inRange(row, column));
    if (row >= int(rows_.size())) {
        rows_.resize(row + 1);
    }
    std::vector<XlsCell>& cells = rows_[row];
    if (column >= int(cells.size())) {
        cells.resize(column + 1);
    }
    return cells[column];
}

}  // namespace kelvora
