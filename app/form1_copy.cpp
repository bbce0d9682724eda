#include <QItemSelectionModel>

#include "app/form1.h"
#include "files/record_copy.h"
#include "platform/record_grid.h"

namespace kelvora {

void Form1::copySelectedRecords() {
    const RecordGridModel& table = grid->cells();
    const RecordCells cells = {table.rows(),
                               [&table](int row, int column) { return table.text(row, column); }};
    const QModelIndexList selected = grid->selectionModel()->selectedIndexes();
    if (!selected.isEmpty()) {
        Clipboard->setText(tabSeparatedCells(cells, selected));
    }
}

}  // namespace kelvora
