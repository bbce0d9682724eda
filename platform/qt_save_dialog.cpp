#include "platform/qt_common_dialog.h"

namespace kelvora {

DialogOutcome QtCommonDialog::showSave(QWidget*) { return {DialogOutcome::Cancelled, {}}; }

}  // namespace kelvora
