#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "link/serial_port.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/common_dialog.h"
#include "platform/message_boxes.h"
#include "platform/printer.h"
#include "platform/spreadsheet.h"

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
