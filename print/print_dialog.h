#pragma once

class QWidget;

namespace kelvora {

class Form1;

// The print dialog as the Print command shows it. True when the user chose to print; false on
// a cancel (quietly) or a failure of the dialog (after the print error box).
bool runPrintDialog(Form1& form, QWidget* parent);

}  // namespace kelvora
