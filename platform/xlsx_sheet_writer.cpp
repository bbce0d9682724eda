#include "platform/xlsx_sheet_writer.h"

#include <xlsxwriter.h>
#include <QFile>

namespace kelvora {

struct XlsxSheetWriter::Workbook {
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* bold = nullptr;
};

namespace {

// The library takes UTF-8 names on Windows and hands them to the C library elsewhere.
QByteArray fileNameBytes(const QString& path) {
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

}  // namespace

XlsxSheetWriter::XlsxSheetWriter(const QString& path, const QString& scratchFolder)
    : workbook_(std::make_unique<Workbook>()) {
    const QByteArray name = fileNameBytes(path);
    QByteArray scratch = fileNameBytes(scratchFolder);
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    // Without a folder of its own the library's temporary files go where the C library puts
    // them, on Windows the root of the system drive, which a user may not write.
    options.tmpdir = scratch.isEmpty() ? nullptr : scratch.data();
    workbook_->book = workbook_new_opt(name.constData(), &options);
    if (workbook_->book == nullptr) {
        failure_ = QStringLiteral("无法创建工作簿");
        return;
    }
    workbook_->sheet = workbook_add_worksheet(workbook_->book, nullptr);
    workbook_->bold = workbook_add_format(workbook_->book);
    if (workbook_->sheet == nullptr || workbook_->bold == nullptr) {
        failure_ = QStringLiteral("无法创建工作表");
        return;
    }
    format_set_bold(workbook_->bold);
}

XlsxSheetWriter::~XlsxSheetWriter() {
    // A workbook not closed yet still frees its memory and temporary files.
    if (workbook_->book != nullptr) {
        workbook_close(workbook_->book);
    }
}

void XlsxSheetWriter::remember(int error) {
    if (error != LXW_NO_ERROR && failure_.isEmpty()) {
        failure_ = QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(error)));
    }
}

void XlsxSheetWriter::setColumnWidth(int column, double characters) {
    if (workbook_->sheet != nullptr) {
        const auto col = static_cast<lxw_col_t>(column);
        remember(worksheet_set_column(workbook_->sheet, col, col, characters, nullptr));
    }
}

void XlsxSheetWriter::freezeTopRow() {
    if (workbook_->sheet != nullptr) {
        worksheet_freeze_panes(workbook_->sheet, 1, 0);
    }
}

void XlsxSheetWriter::writeText(int row, int column, const QString& text, bool bold) {
    if (workbook_->sheet == nullptr || text.isEmpty()) {
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    remember(worksheet_write_string(workbook_->sheet, static_cast<lxw_row_t>(row),
                                    static_cast<lxw_col_t>(column), utf8.constData(),
                                    bold ? workbook_->bold : nullptr));
}

void XlsxSheetWriter::writeNumber(int row, int column, double number) {
    if (workbook_->sheet != nullptr) {
        remember(worksheet_write_number(workbook_->sheet, static_cast<lxw_row_t>(row),
                                        static_cast<lxw_col_t>(column), number, nullptr));
    }
}

QString XlsxSheetWriter::close() {
    if (workbook_->book != nullptr) {
        remember(workbook_close(workbook_->book));
        workbook_->book = nullptr;
        workbook_->sheet = nullptr;
    }
    return failure_;
}

}  // namespace kelvora
