#include "app/form1.h"
#include "app/save_dialog_prep.h"
#include "files/record_sheet.h"
#include "formats/text_file.h"
#include "formats/text_lines.h"
#include "platform/record_grid.h"

namespace kelvora {

namespace {

// New types go after the first two, so their positions and a remembered choice keep meaning.
const SaveTypes kRecordTypes = {
    QT_TRANSLATE_NOOP("kelvora::SaveTypes",
                      "txt格式 (*.txt)|*.txt|excel格式 (*.xls)|*.xls|CSV 文件(*.csv)|*.csv|"
                      "Excel 工作簿(*.xlsx)|*.xlsx|"),
    {".txt", ".xls", ".csv", ".xlsx"}};

enum RecordType { kTextType = 1, kXlsType, kCsvType, kXlsxType };

}  // namespace

void Form1::SaveRecordTable() {
    prepareSaveDialog(*this, kRecordTypes);
    const std::optional<QString> path = runSaveDialog(*this);
    if (!path) {
        return;
    }
    const int type = selectedType(*CommonDialog1, static_cast<int>(kRecordTypes.extensions.size()));
    if (type == kXlsType) {
        SaveSpreadsheet(*path);
        return;
    }
    // The table as it is now: a download may have gone on while the dialog was open.
    const RecordGridModel& table = grid->cells();
    const RecordCells cells = {table.rows(),
                               [&table](int row, int column) { return table.text(row, column); }};
    const RecordSheet sheet(cells, records);
    const int total = recordTotal;
    QString failure;
    switch (type) {
        case kCsvType:
            failure = writeFileSafely(*path, recordCsv(sheet));
            break;
        case kXlsxType:
            failure = writeRecordXlsx(*path, sheet, soilModelSheet(soilChoice));
            break;
        default:
            failure = writeTextFile(*path, textCharset, [&](const LineSink& line) {
                recordFileLines(cells, total, line);
            });
            break;
    }
    if (!failure.isEmpty()) {
        reportSaveFailure(*this, *path, failure);
    }
}

}  // namespace kelvora
