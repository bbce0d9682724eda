#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "formats/xls_strings.h"

namespace kelvora {

// The cells of the one worksheet, 0-based, within the limits of a .xls sheet: four bytes a
// cell, column by column, as the export fills them; texts are held once in strings().
class XlsSheet {
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;

    static bool inRange(int row, int column) {
        return row >= 0 && row < kMaxRows && column >= 0 && column < kMaxColumns;
    }

    // A cell as stored: the centred flag and the reference of its text plus one (0 for none).
    using Cell = std::uint32_t;
    static constexpr Cell kCentred = 0x80000000u;
    static bool isPresent(Cell cell) { return cell != 0; }
    static bool hasText(Cell cell) { return (cell & ~kCentred) != 0; }
    static std::uint32_t textRef(Cell cell) { return (cell & ~kCentred) - 1; }

    // Both expect inRange(row, column). setText is false when the string store is full.
    bool setText(int row, int column, const QString& text);
    void setCentred(int row, int column, bool centred);

    // Absent cells read as 0.
    Cell cell(int row, int column) const {
        return column < int(columns_.size()) && row < int(columns_[column].size())
                   ? columns_[column][row]
                   : 0;
    }
    int rowCount() const { return rowCount_; }
    int columnCount() const { return int(columns_.size()); }

    XlsStrings& strings() { return strings_; }
    const XlsStrings& strings() const { return strings_; }

    void clear();

private:
    Cell& cellAt(int row, int column);

    std::vector<std::vector<Cell>> columns_;
    int rowCount_ = 0;
    XlsStrings strings_;
};

}  // namespace kelvora
