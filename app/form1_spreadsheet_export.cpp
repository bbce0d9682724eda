#include "app/form1.h"

#include <QCoreApplication>
#include "app/save_dialog_prep.h"
#include "platform/record_grid.h"

namespace kelvora {

namespace {

QString reasonOf(const Spreadsheet& sheet) {
    const QString reason = sheet.lastError();
    return reason.isEmpty() ? QCoreApplication::translate("kelvora::Messages", "电子表格写入失败")
                            : reason;
}

// Fills the sheet column by column, each cell centred before it gets its text, then saves.
// Returns the reason of a failure, empty on success.
QString writeTable(Spreadsheet& sheet, const RecordGrid& grid, const QString& path) {
    if (!sheet.newWorkbook()) {
        return reasonOf(sheet);
    }
    const int columns = grid.cols();
    for (int c = 0; c < columns; ++c) {
        // Plain int: a full table of 32767 records has 32768 rows.
        const int rows = grid.rows();
        for (int r = 0; r < rows; ++r) {
            if (!sheet.setHorizontalAlignment(r + 1, c + 1, kXlCenter) ||
                !sheet.setValue(r + 1, c + 1, grid.textMatrix(r, c))) {
                return reasonOf(sheet);
            }
        }
    }
    if (!sheet.saveAs(path)) {
        return reasonOf(sheet);
    }
    // The file is complete once saved; a workbook that then fails to close loses nothing.
    sheet.close();
    return {};
}

}  // namespace

void Form1::SaveSpreadsheet(const QString& path) {
    const QString savedPath = path;
    std::unique_ptr<Spreadsheet> sheet = createSpreadsheet ? createSpreadsheet() : nullptr;
    if (!sheet) {
        reportSaveFailure(
            *this, savedPath,
            QCoreApplication::translate("kelvora::Messages", "没有可用的电子表格组件"));
        return;
    }
    const QString failure = writeTable(*sheet, *grid, savedPath);
    // The instance ends whatever happened, so a failed export leaves nothing behind.
    sheet->quit();
    if (!failure.isEmpty()) {
        reportSaveFailure(*this, savedPath, failure);
    }
}

}  // namespace kelvora
