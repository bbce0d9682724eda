#include "platform/xls_workbook.h"

namespace kelvora {

std::unique_ptr<Spreadsheet> makeXlsWorkbook() { return nullptr; }

}  // namespace kelvora
