#include "export/save_dialog_prep.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "app/form1.h"
#include "export/text_lines.h"

namespace kelvora {

namespace {

const char kDefaultNamePrefix[] = "Kelvora";
const char kSaveFailedTitle[] = "保存失败";

// Creates the folder when nothing of that name exists; true when it is a usable folder.
bool ensureFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return false;
    }
    if (!QFileInfo::exists(folder)) {
        QDir().mkpath(folder);
    }
    return QFileInfo(folder).isDir();
}

}  // namespace

void prepareSaveDialog(Form1& form, const SaveTypes& types) {
    CommonDialog& dialog = *form.CommonDialog1;
    const QString date = QLocale::system().toString(form.clock->now().date(), QLocale::ShortFormat);
    dialog.fileName = QString::fromUtf8(kDefaultNamePrefix) + fileNameDate(date);
    dialog.filter = QString::fromUtf8(types.typeList);
    dialog.defaultExt =
        QString::fromUtf8(firstTypeSelected(dialog) ? types.firstExtension : types.otherExtension);
    dialog.initDir =
        ensureFolder(form.defaultSaveFolder) ? form.defaultSaveFolder : QDir::homePath();
}

std::optional<QString> runSaveDialog(Form1& form) {
    CommonDialog& dialog = *form.CommonDialog1;
    dialog.flags = kCdlOverwritePrompt;
    dialog.cancelError = true;
    const DialogOutcome outcome = dialog.showSave(&form);
    switch (outcome.kind) {
        case DialogOutcome::Cancelled:
            return std::nullopt;
        case DialogOutcome::Failed:
            // No name was confirmed; writing under the pre-filled one would guess a place.
            reportSaveFailure(form, dialog.fileName, outcome.errorDescription);
            return std::nullopt;
        case DialogOutcome::Accepted:
            break;
    }
    // A bare name counts from the folder the dialog started in, never from the working folder.
    return QDir(dialog.initDir).absoluteFilePath(dialog.fileName);
}

void reportSaveFailure(Form1& form, const QString& path, const QString& reason) {
    form.messageBoxes->warning(&form, QString::fromUtf8(kSaveFailedTitle),
                               QDir::toNativeSeparators(path) + QLatin1Char('\n') + reason);
}

}  // namespace kelvora
