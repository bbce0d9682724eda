#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <array>

#include "export/record_sheet.h"
#include "export/text_file.h"
#include "platform/xlsx_sheet_writer.h"

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

QString writeSheet(const QString& path, const QString& scratchFolder, const RecordSheet& sheet) {
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
    return writer.close();
}

}  // namespace

QString writeRecordXlsx(const QString& path, const RecordSheet& sheet) {
    // The library writes its file in one go under the name it is given; build it aside and
    // put it in place like every other file, so a failure leaves an older file as it was.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return scratch.errorString();
    }
    const QString built = scratch.filePath(QStringLiteral("records.xlsx"));
    const QString failure = writeSheet(built, scratch.path(), sheet);
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
