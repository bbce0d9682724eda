#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <array>

#include "files/record_sheet.h"
#include "formats/text_file.h"
#include "formats/xlsx_sheet_writer.h"

namespace kelvora {

namespace {

constexpr double kMinimumWidth = 8.43;  // the spreadsheet's own default, in characters
constexpr double kWidthMargin = 2;

// Every column as wide as its longest text or number, so nothing is cut off or shown as ###.
std::array<double, RecordSheet::kColumns> columnWidths(const RecordSheet& sheet) {
    std::array<double, RecordSheet::kColumns> widths;
    widths.fill(kMinimumWidth);
    for (int row = 0; row < sheet.rows(); ++row) {
        for (int column = 0; column < RecordSheet::kColumns; ++column) {
            const double width = sheet.shown(row, column).size() + kWidthMargin;
            widths[column] = std::max(widths[column], width);
        }
    }
    return widths;
}

constexpr double kSoilColumnWidth = 14;

void writeSoilModel(XlsxSheetWriter& writer, const SheetRows& rows) {
    writer.addSheet(QStringLiteral("土壤模型"));
    for (int column = 0; column < 5; ++column) {
        writer.setColumnWidth(column, kSoilColumnWidth);
    }
    for (size_t row = 0; row < rows.size(); ++row) {
        for (size_t column = 0; column < rows[row].size(); ++column) {
            const SheetCell& cell = rows[row][column];
            if (cell.number) {
                writer.writeNumber(int(row), int(column), *cell.number);
            } else {
                writer.writeText(int(row), int(column), cell.text, cell.bold);
            }
        }
    }
}

QString writeSheet(const QString& path, const QString& scratchFolder, const RecordSheet& sheet,
                   const SheetRows& soilModel) {
    XlsxSheetWriter writer(path, scratchFolder);
    const std::array<double, RecordSheet::kColumns> widths = columnWidths(sheet);
    for (int column = 0; column < RecordSheet::kColumns; ++column) {
        writer.setColumnWidth(column, widths[column]);
    }
    writer.freezeTopRow();
    for (int row = 0; row < sheet.rows(); ++row) {
        for (int column = 0; column < RecordSheet::kColumns; ++column) {
            if (const std::optional<double> number = sheet.number(row, column)) {
                writer.writeNumber(row, column, *number);
            } else {
                writer.writeText(row, column, sheet.text(row, column), row == 0);
            }
        }
    }
    if (!soilModel.empty()) {
        writeSoilModel(writer, soilModel);
    }
    return writer.close();
}

}  // namespace

QString writeRecordXlsx(const QString& path, const RecordSheet& sheet, const SheetRows& soilModel) {
    // The library writes its file in one go under the name it is given; build it aside and
    // put it in place like every other file, so a failure leaves an older file as it was.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return scratch.errorString();
    }
    const QString built = scratch.filePath(QStringLiteral("records.xlsx"));
    const QString failure = writeSheet(built, scratch.path(), sheet, soilModel);
    if (!failure.isEmpty()) {
        return failure;
    }
    QFile file(built);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    return writeFileSafely(path, file.readAll());
}

}  // namespace kelvora
