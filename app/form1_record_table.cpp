#include <QFont>

#include "app/form1.h"
#include "app/record_table.h"
#include "app/ui_texts.h"
#include "platform/record_grid.h"
#include "records/reply.h"

namespace kelvora {

namespace {

constexpr int kColumnWidth = 1160;  // twips
constexpr int kRowHeight = 300;     // twips
const char* const kHeaders[] = {"NO.", "R", "ρ", "ρLenght", "Rc", "Rp", "I", "V"};
constexpr int kColumns = static_cast<int>(std::size(kHeaders));

}  // namespace

void writeRecordRow(Form1& form, int record, const Reading* reading) {
    if (reading == nullptr) {
        form.records.miss(record);
    } else {
        form.records.take(record, *reading);
    }
    RecordGrid& grid = *form.grid;
    grid.setRows(record + 1);
    // All rows share one height, so a new row costs the same whatever the table's size.
    if (grid.defaultRowHeight() != kRowHeight) {
        grid.setDefaultRowHeight(kRowHeight);
    }
    grid.setRowHeight(record, kRowHeight);
    // The row may still hold another record of another mode (an earlier download).
    for (int column = 0; column < kColumns; ++column) {
        grid.setTextMatrix(record, column, QString());
    }
    if (reading == nullptr) {
        return;
    }
    grid.setTextMatrix(record, 0, QString::number(record));
    for (const SlotText& value : slotTexts(*reading)) {
        grid.setTextMatrix(record, recordColumn(value.slot), value.text);
    }
}

void Form1::gridinit() {
    grid->setGeometryTwips(1550, 2440, 9615, 6500);
    grid->setRows(2);
    grid->setCols(kColumns);
    for (int column = 0; column < grid->cols(); ++column) {
        grid->setColWidth(column, kColumnWidth);
        grid->setColAlignment(column, Qt::AlignHCenter | Qt::AlignVCenter);
    }
    // Rows added later by a download take the shared height.
    grid->setDefaultRowHeight(kRowHeight);
    for (int row = 0; row < grid->rows(); ++row) {
        grid->setRowHeight(row, kRowHeight);
    }
    for (int column = 0; column < grid->cols(); ++column) {
        for (int row = 0; row < grid->rows(); ++row) {
            grid->setTextMatrix(row, column, QString());
        }
    }
    for (int column = 0; column < kColumns; ++column) {
        grid->setTextMatrix(0, column, QString::fromUtf8(kHeaders[column]));
    }
    QFont font(QString::fromUtf8(texts::kSimSun));
    font.setPointSizeF(10.5);
    grid->setFont(font);
    records.clear();
}

}  // namespace kelvora
