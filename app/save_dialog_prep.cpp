#include "app/save_dialog_prep.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "app/form1.h"
#include "formats/text_lines.h"

namespace kelvora {

namespace {

const char kDefaultNamePrefix[] = "Kelvora";
const char kSaveFailedTitle[] = QT_TRANSLATE_NOOP("kelvora::Form1", "保存失败");

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

QString translatedTypeList(const SaveTypes& types) {
    return QCoreApplication::translate("kelvora::SaveTypes", types.typeList);
}

void prepareSaveDialog(Form1& form, const SaveTypes& types) {
    CommonDialog& dialog = *form.CommonDialog1;
    const QString date = QLocale::system().toString(form.clock->now().date(), QLocale::ShortFormat);
    dialog.fileName = QString::fromUtf8(kDefaultNamePrefix) + fileNameDate(date);
    dialog.filter = translatedTypeList(types);
    const int type = selectedType(dialog, static_cast<int>(types.extensions.size()));
    dialog.defaultExt = QString::fromUtf8(types.extensions[static_cast<size_t>(type) - 1]);
    dialog.initDir =
        ensureFolder(form.defaultSaveFolder) ? form.defaultSaveFolder : QDir::homePath();
}

std::optional<QString> runSaveDialog(Form1& form, QWidget* parent) {
    CommonDialog& dialog = *form.CommonDialog1;
    parent = parent != nullptr ? parent : &form;
    dialog.flags = kCdlOverwritePrompt;
    dialog.cancelError = true;
    const DialogOutcome outcome = dialog.showSave(parent);
    switch (outcome.kind) {
        case DialogOutcome::Cancelled:
            return std::nullopt;
        case DialogOutcome::Failed:
            // No name was confirmed; writing under the pre-filled one would guess a place.
            reportSaveFailure(form, dialog.fileName, outcome.errorDescription, parent);
            return std::nullopt;
        case DialogOutcome::Accepted:
            break;
    }
    // A bare name counts from the folder the dialog started in, never from the working folder.
    return QDir(dialog.initDir).absoluteFilePath(dialog.fileName);
}

std::optional<QString> runOwnSaveDialog(Form1& form, const SaveTypes& types, QWidget* parent,
                                        int& ownType) {
    CommonDialog& dialog = *form.CommonDialog1;
    const int mainType = dialog.filterIndex;
    dialog.filterIndex = ownType;
    prepareSaveDialog(form, types);
    std::optional<QString> path = runSaveDialog(form, parent);
    ownType = dialog.filterIndex;
    dialog.filterIndex = mainType;
    return path;
}

void reportSaveFailure(Form1& form, const QString& path, const QString& reason, QWidget* parent) {
    form.messageBoxes->warning(parent != nullptr ? parent : &form, Form1::tr(kSaveFailedTitle),
                               QDir::toNativeSeparators(path) + QLatin1Char('\n') + reason);
}

}  // namespace kelvora
