#pragma once

#include <xlsxwriter.h>
#include <QString>

namespace kelvora {

// The libxlsxwriter entry points the .xlsx writer uses. Where the build knows the shared
// library's name (Linux) it is loaded at the first .xlsx file rather than at start-up: it brings
// OpenSSL's libcrypto with it, about 1.6 MB of resident memory that most sessions never use.
// Elsewhere it is linked in.
struct XlsxWriterCalls {
    decltype(&::workbook_new_opt) workbookNew;
    decltype(&::workbook_add_worksheet) addWorksheet;
    decltype(&::workbook_add_format) addFormat;
    decltype(&::format_set_bold) setBold;
    decltype(&::workbook_close) close;
    decltype(&::lxw_strerror) errorText;
    decltype(&::worksheet_set_column) setColumn;
    decltype(&::worksheet_freeze_panes) freezePanes;
    decltype(&::worksheet_write_string) writeString;
    decltype(&::worksheet_write_number) writeNumber;
};

// The library's calls, loaded once; null, with the reason in `why`, when it cannot be loaded.
const XlsxWriterCalls* xlsxWriterCalls(QString* why);

// Loads the library of that name; the library's own name comes from the build.
const XlsxWriterCalls* loadXlsxWriter(const char* library, QString* why);

}  // namespace kelvora
