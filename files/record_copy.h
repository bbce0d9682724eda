#pragma once

#include <QModelIndexList>
#include <QString>

#include "formats/text_lines.h"

namespace kelvora {

// The selected cells as spreadsheets paste them: the rows and columns that hold a selected
// cell, in table order, cells joined by tabs and rows ended by a line feed; a cell in between
// that is not selected stays empty.
QString tabSeparatedCells(const RecordCells& cells, const QModelIndexList& selected);

}  // namespace kelvora
