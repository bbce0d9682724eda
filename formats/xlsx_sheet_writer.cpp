#include "formats/xlsx_sheet_writer.h"

#include <QCoreApplication>
#include <QFile>

#include "formats/xlsxwriter_calls.h"

namespace kelvora {

struct XlsxSheetWriter::Workbook {
    const XlsxWriterCalls* calls = nullptr;
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
    QString why;
    workbook_->calls = xlsxWriterCalls(&why);
    if (workbook_->calls == nullptr) {
        failure_ =
            QCoreApplication::translate("kelvora::Messages", "无法加载 libxlsxwriter：") + why;
        return;
    }
    const XlsxWriterCalls& lxw = *workbook_->calls;
    const QByteArray name = fileNameBytes(path);
    QByteArray scratch = fileNameBytes(scratchFolder);
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    // Without a folder of its own the library's temporary files go where the C library puts
    // them, on Windows the root of the system drive, which a user may not write.
    options.tmpdir = scratch.isEmpty() ? nullptr : scratch.data();
    workbook_->book = lxw.workbookNew(name.constData(), &options);
    if (workbook_->book == nullptr) {
        failure_ = QCoreApplication::translate("kelvora::Messages", "无法创建工作簿");
        return;
    }
    workbook_->sheet = lxw.addWorksheet(workbook_->book, nullptr);
    workbook_->bold = lxw.addFormat(workbook_->book);
    if (workbook_->sheet == nullptr || workbook_->bold == nullptr) {
        failure_ = QCoreApplication::translate("kelvora::Messages", "无法创建工作表");
        return;
    }
    lxw.setBold(workbook_->bold);
}

XlsxSheetWriter::~XlsxSheetWriter() {
    // A workbook not closed yet still frees its memory and temporary files.
    if (workbook_->book != nullptr) {
        workbook_->calls->close(workbook_->book);
    }
}

void XlsxSheetWriter::remember(int error) {
    if (error != LXW_NO_ERROR && failure_.isEmpty()) {
        failure_ = QString::fromUtf8(workbook_->calls->errorText(static_cast<lxw_error>(error)));
    }
}

void XlsxSheetWriter::addSheet(const QString& name) {
    if (workbook_->book == nullptr || workbook_->calls == nullptr) {
        return;
    }
    const QByteArray utf8 = name.toUtf8();
    workbook_->sheet = workbook_->calls->addWorksheet(workbook_->book, utf8.constData());
    if (workbook_->sheet == nullptr && failure_.isEmpty()) {
        failure_ = QCoreApplication::translate("kelvora::Messages", "无法创建工作表");
    }
}

void XlsxSheetWriter::setColumnWidth(int column, double characters) {
    if (workbook_->sheet != nullptr) {
        const auto col = static_cast<lxw_col_t>(column);
        remember(workbook_->calls->setColumn(workbook_->sheet, col, col, characters, nullptr));
    }
}

void XlsxSheetWriter::freezeTopRow() {
    if (workbook_->sheet != nullptr) {
        workbook_->calls->freezePanes(workbook_->sheet, 1, 0);
    }
}

void XlsxSheetWriter::writeText(int row, int column, const QString& text, bool bold) {
    if (workbook_->sheet == nullptr || text.isEmpty()) {
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    remember(workbook_->calls->writeString(workbook_->sheet, static_cast<lxw_row_t>(row),
                                           static_cast<lxw_col_t>(column), utf8.constData(),
                                           bold ? workbook_->bold : nullptr));
}

void XlsxSheetWriter::writeNumber(int row, int column, double number) {
    if (workbook_->sheet != nullptr) {
        remember(workbook_->calls->writeNumber(workbook_->sheet, static_cast<lxw_row_t>(row),
                                               static_cast<lxw_col_t>(column), number, nullptr));
    }
}

QString XlsxSheetWriter::close() {
    if (workbook_->book != nullptr) {
        remember(workbook_->calls->close(workbook_->book));
        workbook_->book = nullptr;
        workbook_->sheet = nullptr;
    }
    return failure_;
}

}  // namespace kelvora
