#pragma once

#include <functional>

#include "seams/common_dialog.h"

class QPrinter;

namespace kelvora {

// Qt's file and print dialogs behind the common dialog object. The print dialog configures
// the printer that the Printer adapter then draws on.
class QtCommonDialog : public CommonDialog {
public:
    explicit QtCommonDialog(QPrinter* printer) : printer_(printer) {}
    // The printer asked for only when the print dialog opens, in place of the one above: a
    // printer loads the system's printing libraries, which start-up can do without.
    void setPrinterSource(std::function<QPrinter*()> source) { printerSource_ = std::move(source); }
    DialogOutcome showSave(QWidget* parent) override;     // qt_save_dialog.cpp
    DialogOutcome showPrinter(QWidget* parent) override;  // qt_print_dialog.cpp

private:
    QPrinter* printer_;
    std::function<QPrinter*()> printerSource_;
};

}  // namespace kelvora
