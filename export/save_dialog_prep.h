#pragma once

#include <QString>
#include <optional>

#include "platform/common_dialog.h"

namespace kelvora {

class Form1;

// The two file types a save behaviour offers, and the default extension for each.
struct SaveTypes {
    const char* typeList;  // "name (*.ext)|*.ext|name (*.ext)|*.ext|"
    const char* firstExtension;
    const char* otherExtension;
};

// The type remembered by (or just picked in) the shared dialog is the first one; 0, before the
// first use, counts as the first type too.
inline bool firstTypeSelected(const CommonDialog& dialog) {
    return dialog.filterIndex <= 1;
}

// Everything before the dialog opens: the dated default name, the type list, the default
// extension guessed from the type picked last time, and the default folder, created when
// missing. A folder that can be neither found nor created makes the dialog start at home.
void prepareSaveDialog(Form1& form, const SaveTypes& types);

// Shows the dialog, asking before an existing file is replaced. Returns the chosen path, or
// nothing when the user cancelled (quietly) or the dialog failed (reported).
std::optional<QString> runSaveDialog(Form1& form);

// A save the user asked for did not happen: say so, with the file and the reason.
void reportSaveFailure(Form1& form, const QString& path, const QString& reason);

}  // namespace kelvora
