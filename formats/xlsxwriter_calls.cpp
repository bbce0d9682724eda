#include "formats/xlsxwriter_calls.h"

#ifdef KELVORA_XLSXWRITER_LIBRARY
#include <dlfcn.h>
#include <memory>
#endif

namespace kelvora {

namespace {

#ifndef KELVORA_XLSXWRITER_LIBRARY
const XlsxWriterCalls kLinkedCalls = {
    &::workbook_new_opt,       &::workbook_add_worksheet, &::workbook_add_format,
    &::format_set_bold,        &::workbook_close,         &::lxw_strerror,
    &::worksheet_set_column,   &::worksheet_freeze_panes, &::worksheet_write_string,
    &::worksheet_write_number,
};
#else
template <typename Function>
bool resolve(void* library, const char* name, Function& function, QString* why) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function == nullptr && why != nullptr) {
        *why = QString::fromLocal8Bit(dlerror());
    }
    return function != nullptr;
}
#endif

}  // namespace

const XlsxWriterCalls* loadXlsxWriter(const char* library, QString* why) {
#ifndef KELVORA_XLSXWRITER_LIBRARY
    Q_UNUSED(library);
    Q_UNUSED(why);
    return &kLinkedCalls;
#else
    void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        if (why != nullptr) {
            *why = QString::fromLocal8Bit(dlerror());
        }
        return nullptr;
    }
    auto calls = std::make_unique<XlsxWriterCalls>();
    const bool complete = resolve(handle, "workbook_new_opt", calls->workbookNew, why) &&
                          resolve(handle, "workbook_add_worksheet", calls->addWorksheet, why) &&
                          resolve(handle, "workbook_add_format", calls->addFormat, why) &&
                          resolve(handle, "format_set_bold", calls->setBold, why) &&
                          resolve(handle, "workbook_close", calls->close, why) &&
                          resolve(handle, "lxw_strerror", calls->errorText, why) &&
                          resolve(handle, "worksheet_set_column", calls->setColumn, why) &&
                          resolve(handle, "worksheet_freeze_panes", calls->freezePanes, why) &&
                          resolve(handle, "worksheet_write_string", calls->writeString, why) &&
                          resolve(handle, "worksheet_write_number", calls->writeNumber, why);
    if (!complete) {
        dlclose(handle);
        return nullptr;
    }
    // Kept loaded for the rest of the run, like a linked library.
    return calls.release();
#endif
}

const XlsxWriterCalls* xlsxWriterCalls(QString* why) {
#ifndef KELVORA_XLSXWRITER_LIBRARY
    return loadXlsxWriter(nullptr, why);
#else
    static QString failure;
    static const XlsxWriterCalls* const calls =
        loadXlsxWriter(KELVORA_XLSXWRITER_LIBRARY, &failure);
    if (calls == nullptr && why != nullptr) {
        *why = failure;
    }
    return calls;
#endif
}

}  // namespace kelvora
