#include "platform/real_seams.h"

#include <QApplication>
#include <QDir>

#include "formats/text_codec.h"
#include "formats/xls_workbook.h"
#include "platform/qt_clipboard.h"
#include "platform/qt_common_dialog.h"
#include "platform/qt_message_boxes.h"
#include "platform/qt_printer.h"
#include "platform/qt_serial_port.h"
#include "platform/system_clock.h"

namespace kelvora {

QString defaultSaveFolderForSystem() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\Kelvora");
#else
    return QDir::home().filePath(QStringLiteral("Kelvora"));
#endif
}

Form1Seams makeRealSeams(const PortMap& ports) {
    Form1Seams seams;
    auto printer = std::make_unique<QtPrinter>();
    auto dialog = std::make_unique<QtCommonDialog>(nullptr);
    dialog->setPrinterSource([adapter = printer.get()] { return adapter->qprinter(); });
    seams.commonDialog = std::move(dialog);
    seams.printer = std::move(printer);
    seams.serialPort = makeQtSerialPort(ports);
    seams.clipboard = std::make_unique<QtClipboard>();
    seams.createSpreadsheet = [] { return makeXlsWorkbook(); };
    seams.messageBoxes = std::make_unique<QtMessageBoxes>();
    seams.clock = std::make_unique<SystemClock>();
    seams.endProgram = [] { QApplication::exit(0); };
    seams.defaultSaveFolder = defaultSaveFolderForSystem();
    seams.textCharset = systemTextCharset();
    return seams;
}

}  // namespace kelvora
