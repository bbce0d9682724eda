#include <QCoreApplication>
#include <QFileDialog>
#include <algorithm>

#include "platform/file_type_list.h"
#include "platform/qt_common_dialog.h"

namespace kelvora {

DialogOutcome QtCommonDialog::showSave(QWidget* parent) {
    const QList<FileType> types = parseTypeList(filter);
    const QStringList nameFilters = qtNameFilters(types);

    QFileDialog dialog(parent, QCoreApplication::translate(
                                   "kelvora::Form1", QT_TRANSLATE_NOOP("kelvora::Form1", "保存")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (flags & kCdlOverwritePrompt) == 0);
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
        const int index = std::clamp(filterIndex, 1, int(nameFilters.size())) - 1;
        dialog.selectNameFilter(nameFilters[index]);
    }
    QString suffix = defaultExt;
    if (suffix.startsWith(QLatin1Char('.'))) {
        suffix.remove(0, 1);
    }
    dialog.setDefaultSuffix(suffix);
    // A name typed without extension gets the one of the type the user picks, so a text file
    // never ends up named .jpg because the guess was the picture.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &types, &nameFilters](const QString& selected) {
                         const qsizetype index = nameFilters.indexOf(selected);
                         if (index >= 0) {
                             const QString extension = typeExtension(types[index]);
                             if (!extension.isEmpty()) {
                                 dialog.setDefaultSuffix(extension);
                             }
                         }
                     });
    if (!initDir.isEmpty()) {
        dialog.setDirectory(initDir);
    }
    if (!fileName.isEmpty()) {
        dialog.selectFile(fileName);
    }

    if (dialog.exec() != QDialog::Accepted) {
        return {DialogOutcome::Cancelled, {}};
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return {DialogOutcome::Failed,
                QCoreApplication::translate("kelvora::Messages", "没有选择文件")};
    }
    fileName = chosen.first();
    const qsizetype picked = nameFilters.indexOf(dialog.selectedNameFilter());
    if (picked >= 0) {
        filterIndex = int(picked) + 1;
    }
    return {DialogOutcome::Accepted, {}};
}

}  // namespace kelvora
