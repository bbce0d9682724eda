#pragma once

class QString;
class QWidget;

namespace kelvora {

class Form1;

// The print dialog as the Print command shows it. True when the user chose to print; false on
// a cancel (quietly) or a failure of the dialog (after the print error box).
bool runPrintDialog(Form1& form, QWidget* parent);

// The print error box, with the reason on a line of its own.
void reportPrintFailure(Form1& form, QWidget* parent, const QString& reason);

}  // namespace kelvora
