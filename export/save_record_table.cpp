#include "app/form1.h"
#include "export/save_dialog_prep.h"
#include "export/text_file.h"
#include "export/text_lines.h"
#include "platform/record_grid.h"

namespace kelvora {

namespace {

const SaveTypes kRecordTypes = {"txt格式 (*.txt)|*.txt|excel格式 (*.xls)|*.xls|", ".txt", ".xls"};

}  // namespace

void Form1::SaveRecordTable() {
    prepareSaveDialog(*this, kRecordTypes);
    const std::optional<QString> path = runSaveDialog(*this);
    if (!path) {
        return;
    }
    if (!firstTypeSelected(*CommonDialog1)) {
        SaveSpreadsheet(*path);
        return;
    }
    // The table as it is now: a download may have gone on while the dialog was open.
    const RecordGridModel& table = grid->cells();
    const RecordCells cells = {table.rows(),
                               [&table](int row, int column) { return table.text(row, column); }};
    const int total = recordTotal;
    const QString failure = writeTextFile(
        *path, textCharset, [&](const LineSink& line) { recordFileLines(cells, total, line); });
    if (!failure.isEmpty()) {
        reportSaveFailure(*this, *path, failure);
    }
}

}  // namespace kelvora
