#pragma once

#include <QString>
#include <vector>

namespace kelvora {

// One cell as the workbook will hold it: a text (empty for none) and whether it is centred.
struct XlsCell {
    QString text;
    bool centred = false;

    bool isPresent() const { return centred || !text.isEmpty(); }
};

// The cells of the one worksheet, 0-based, within the limits of a .xls sheet. Rows are kept in
// order, so cells can be written row by row whatever order they were set in.
class XlsSheet {
public:
    static constexpr int kMaxRows = 65536;
    static constexpr int kMaxColumns = 256;

    static bool inRange(int row, int column) {
        return row >= 0 && row < kMaxRows && column >= 0 && column < kMaxColumns;
    }

    // Both expect inRange(row, column).
    void setText(int row, int column, const QString& text) { cellAt(row, column).text = text; }
    void setCentred(int row, int column, bool centred) { cellAt(row, column).centred = centred; }

    // Absent cells read as empty and not centred.
    XlsCell cell(int row, int column) const;

    // rows()[r][c] is cell (r, c); rows may be shorter than the widest row, or empty.
    const std::vector<std::vector<XlsCell>>& rows() const { return rows_; }

    void clear() { rows_.clear(); }

private:
    XlsCell& cellAt(int row, int column);

    std::vector<std::vector<XlsCell>> rows_;
};

}  // namespace kelvora
