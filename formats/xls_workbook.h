#pragma once

#include <memory>

#include "formats/spreadsheet.h"

namespace kelvora {

// A legacy Excel workbook (BIFF8 in a compound file) written by the program itself.
std::unique_ptr<Spreadsheet> makeXlsWorkbook();

}  // namespace kelvora
