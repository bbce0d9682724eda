#pragma once

#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

#include "seams/common_dialog.h"

class QWidget;

namespace kelvora {

class Form1;

// The file types a save behaviour offers, and the default extension for each.
struct SaveTypes {
    // "name (*.ext)|*.ext|name (*.ext)|*.ext|", translated as a whole in context
    // "kelvora::SaveTypes"; the translation keeps the patterns and their order.
    const char* typeList;
    std::vector<const char*> extensions;  // one per type, in the list's order
};

// The type remembered by (or just picked in) the shared dialog is the first one; 0, before the
// first use, counts as the first type too.
inline bool firstTypeSelected(const CommonDialog& dialog) {
    return dialog.filterIndex <= 1;
}

// The 1-based type remembered by (or just picked in) the dialog, among `typeCount` types: 0
// counts as the first, and a type past the end (remembered from a longer list) as the last.
inline int selectedType(const CommonDialog& dialog, int typeCount) {
    return std::clamp(dialog.filterIndex, 1, std::max(typeCount, 1));
}

// The type list in the language shown.
QString translatedTypeList(const SaveTypes& types);

// Everything before the dialog opens: the dated default name, the type list, the default
// extension guessed from the type picked last time, and the default folder, created when
// missing. A folder that can be neither found nor created makes the dialog start at home.
void prepareSaveDialog(Form1& form, const SaveTypes& types);

// Shows the dialog, asking before an existing file is replaced. Returns the chosen path, or
// nothing when the user cancelled (quietly) or the dialog failed (reported). The dialog and any
// box belong to `parent`, the main window when none is given.
std::optional<QString> runSaveDialog(Form1& form, QWidget* parent = nullptr);

// The Save dialog of a window of its own (the charts, the report), which remembers its type in
// `ownType`, leaving the main Save's remembered type as it was.
std::optional<QString> runOwnSaveDialog(Form1& form, const SaveTypes& types, QWidget* parent,
                                        int& ownType);

// A save the user asked for did not happen: say so, with the file and the reason.
void reportSaveFailure(Form1& form, const QString& path, const QString& reason,
                       QWidget* parent = nullptr);

}  // namespace kelvora
