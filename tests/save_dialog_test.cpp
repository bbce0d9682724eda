#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "platform/qt_common_dialog.h"

namespace kelvora::testing {
namespace {

// Shows the save dialog; `user` acts on it once it is up, after it has been checked.
DialogOutcome showSave(QtCommonDialog& dialog, const std::function<void(QFileDialog*)>& user) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            EXPECT_EQ(shown->nameFilters(), (QStringList{"jpg格式 (*.jpg)", "txt格式 (*.txt)"}));
            EXPECT_EQ(shown->selectedNameFilter(), QStringLiteral("txt格式 (*.txt)"));
            EXPECT_FALSE(shown->testOption(QFileDialog::DontConfirmOverwrite));
            EXPECT_EQ(shown->defaultSuffix(), QStringLiteral("txt"));
            auto* combo = shown->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(combo, nullptr);
            combo->setCurrentIndex(0);  // the user picks the picture type
            emit combo->activated(0);
            emit combo->textActivated(combo->itemText(0));
            user(shown);
        }
    });
    poll.start(10);
    return dialog.showSave(nullptr);
}

// The remembered type is selected when the dialog opens; the type picked becomes filterIndex
// and gives the name its extension; cancel changes nothing.
TEST(QtSaveDialog, FilterIndexExtensionAndCancel) {
    QTemporaryDir dir;
    QtCommonDialog dialog{nullptr};
    dialog.fileName = QStringLiteral("Kelvora6 Dec 2026");
    dialog.filter = QStringLiteral("jpg格式 (*.jpg)|*.jpg|txt格式 (*.txt)|*.txt|");
    dialog.filterIndex = 2;
    dialog.defaultExt = QStringLiteral(".txt");
    dialog.initDir = dir.path();
    dialog.flags = kCdlOverwritePrompt;
    EXPECT_EQ(showSave(dialog, [](QFileDialog* shown) { shown->reject(); }).kind,
              DialogOutcome::Cancelled);
    EXPECT_EQ(dialog.fileName, QStringLiteral("Kelvora6 Dec 2026"));
    EXPECT_EQ(dialog.filterIndex, 2);
    EXPECT_EQ(
        showSave(dialog, [](QFileDialog* shown) { static_cast<QDialog*>(shown)->accept(); }).kind,
        DialogOutcome::Accepted);
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(dialog.fileName, dir.filePath("Kelvora6 Dec 2026.jpg"));
}

}  // namespace
}  // namespace kelvora::testing
