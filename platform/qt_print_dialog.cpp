#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/qt_common_dialog.h"

namespace kelvora {

namespace {

// Qt's own print dialog on Linux and the BSDs always offers printing to a PDF file; the native
// dialogs elsewhere need an installed printer.
bool pdfFileOffered() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return false;
#else
    return true;
#endif
}

// A name the PDF engine can write: not a folder, in a folder that exists and may be written,
// and not a file that may not be replaced.
bool usablePdfName(const QString& name) {
    if (name.isEmpty()) {
        return false;
    }
    const QFileInfo file(name);
    const QFileInfo folder(file.absolutePath());
    if (file.isDir() || !folder.isDir() || !folder.isWritable()) {
        return false;
    }
    return !file.exists() || file.isWritable();
}

}  // namespace

DialogOutcome QtCommonDialog::showPrinter(QWidget* parent) {
    QPrinter* const printer = printerSource_ ? printerSource_() : printer_;
    if (printer == nullptr) {
        return {DialogOutcome::Failed,
                QCoreApplication::translate("kelvora::Messages", "没有可用的打印机。")};
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return {DialogOutcome::Failed,
                QCoreApplication::translate("kelvora::Messages", "无法显示打印对话框。")};
    }
    if (!pdfFileOffered() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        return {DialogOutcome::Failed,
                QCoreApplication::translate("kelvora::Messages", "没有安装打印机。")};
    }
    // Without a printer the output is a PDF file; propose a whole file name, since the dialog
    // may otherwise offer a bare folder.
    if (printer->outputFormat() == QPrinter::PdfFormat && printer->outputFileName().isEmpty()) {
        printer->setOutputFileName(
            QDir::home().filePath(printer->docName() + QStringLiteral(".pdf")));
    }

    QPrintDialog dialog(printer, parent);
    if ((flags & kCdlPrintNoPageNums) != 0) {
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {DialogOutcome::Cancelled, {}};
    }
    // Printing into a name that cannot be written would lose the whole printout without a word.
    if (printer->outputFormat() == QPrinter::PdfFormat &&
        !usablePdfName(printer->outputFileName())) {
        return {DialogOutcome::Failed,
                QCoreApplication::translate("kelvora::Messages", "无法写入打印文件：") +
                    printer->outputFileName()};
    }
    return {DialogOutcome::Accepted, {}};
}

}  // namespace kelvora
