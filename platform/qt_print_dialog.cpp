#include <QApplication>
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

}  // namespace

DialogOutcome QtCommonDialog::showPrinter(QWidget* parent) {
    if (printer_ == nullptr) {
        return {DialogOutcome::Failed, QStringLiteral("没有可用的打印机。")};
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return {DialogOutcome::Failed, QStringLiteral("无法显示打印对话框。")};
    }
    if (!pdfFileOffered() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        return {DialogOutcome::Failed, QStringLiteral("没有安装打印机。")};
    }

    QPrintDialog dialog(printer_, parent);
    if ((flags & kCdlPrintNoPageNums) != 0) {
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {DialogOutcome::Cancelled, {}};
    }
    return {DialogOutcome::Accepted, {}};
}

}  // namespace kelvora
