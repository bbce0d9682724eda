#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "formats/spreadsheet.h"
#include "modbus/serial_port.h"
#include "seams/clipboard.h"
#include "seams/clock.h"
#include "seams/common_dialog.h"
#include "seams/message_boxes.h"
#include "seams/printer.h"

namespace kelvora {

// Everything the window needs of the platform, injected so tests can script it.
struct Form1Seams {
    std::unique_ptr<SerialPort> serialPort;
    std::unique_ptr<CommonDialog> commonDialog;
    std::unique_ptr<Printer> printer;
    std::unique_ptr<Clipboard> clipboard;
    SpreadsheetFactory createSpreadsheet;
    std::unique_ptr<MessageBoxes> messageBoxes;
    std::unique_ptr<Clock> clock;
    std::function<void()> endProgram;  // ends the program at once
    QString defaultSaveFolder;         // "c:\Kelvora" on Windows, ~/Kelvora elsewhere
    QByteArray textCharset;            // character set of the text files ("GBK", "UTF-8" ...)
};

}  // namespace kelvora
