#include "platform/qt_common_dialog.h"

namespace kelvora {

DialogOutcome QtCommonDialog::showPrinter(QWidget*) { return {DialogOutcome::Cancelled, {}}; }

}  // namespace kelvora
