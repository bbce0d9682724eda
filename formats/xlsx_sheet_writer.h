#pragma once

#include <QString>
#include <memory>

namespace kelvora {

// A workbook written sheet by sheet and row by row with little memory: every row must be
// written before the next one begins, every sheet before the next. Column widths and the
// frozen top row of the sheet being written may be set at any time.
class XlsxSheetWriter {
public:
    // `scratchFolder` holds the library's temporary files while the rows are written.
    XlsxSheetWriter(const QString& path, const QString& scratchFolder);
    ~XlsxSheetWriter();
    XlsxSheetWriter(const XlsxSheetWriter&) = delete;
    XlsxSheetWriter& operator=(const XlsxSheetWriter&) = delete;

    // Ends the sheet being written and begins another, named `name`.
    void addSheet(const QString& name);
    void setColumnWidth(int column, double characters);
    void freezeTopRow();
    // Rows and columns count from 0. An empty text leaves the cell empty.
    void writeText(int row, int column, const QString& text, bool bold = false);
    void writeNumber(int row, int column, double number);

    // Writes the file and ends the workbook. Returns the reason of the first failure, empty
    // when the file was written.
    QString close();

private:
    void remember(int error);

    struct Workbook;
    std::unique_ptr<Workbook> workbook_;
    QString failure_;
};

}  // namespace kelvora
