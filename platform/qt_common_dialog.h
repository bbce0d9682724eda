#pragma once

#include "platform/common_dialog.h"

class QPrinter;

namespace kelvora {

// Qt's file and print dialogs behind the common dialog object. The print dialog configures
// the printer that the Printer adapter then draws on.
class QtCommonDialog : public CommonDialog {
public:
    explicit QtCommonDialog(QPrinter* printer) : printer_(printer) {}
    DialogOutcome showSave(QWidget* parent) override;     // qt_save_dialog.cpp
    DialogOutcome showPrinter(QWidget* parent) override;  // qt_print_dialog.cpp

private:
    QPrinter* printer_;
};

}  // namespace kelvora
