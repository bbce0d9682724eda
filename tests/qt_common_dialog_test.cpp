#include "platform/qt_common_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace kelvora {
namespace {

// The dialogs are modal: `user` acts on the one of type Shown once it is up.
template <typename Shown>
DialogOutcome show(const std::function<DialogOutcome()>& open,
                   const std::function<void(Shown*)>& user) {
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* shown = qobject_cast<Shown*>(QApplication::activeModalWidget())) {
            poll.stop();
            user(shown);
        }
    });
    poll.start(10);
    return open();
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
    for (bool accept : {false, true}) {
        const DialogOutcome outcome = show<QFileDialog>(
            [&] { return dialog.showSave(nullptr); },
            [accept](QFileDialog* shown) {
                EXPECT_EQ(shown->nameFilters(),
                          QStringList({"jpg格式 (*.jpg)", "txt格式 (*.txt)"}));
                EXPECT_EQ(shown->selectedNameFilter(), QStringLiteral("txt格式 (*.txt)"));
                EXPECT_FALSE(shown->testOption(QFileDialog::DontConfirmOverwrite));
                EXPECT_EQ(shown->defaultSuffix(), QStringLiteral("txt"));
                auto* combo = shown->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                ASSERT_NE(combo, nullptr);
                combo->setCurrentIndex(0);  // the user picks the picture type
                emit combo->activated(0);
                emit combo->textActivated(combo->itemText(0));
                accept ? static_cast<QDialog*>(shown)->accept() : shown->reject();
            });
        EXPECT_EQ(outcome.kind, accept ? DialogOutcome::Accepted : DialogOutcome::Cancelled);
        EXPECT_EQ(dialog.filterIndex, accept ? 1 : 2);
        EXPECT_EQ(dialog.fileName, accept ? dir.filePath("Kelvora6 Dec 2026.jpg")
                                          : QStringLiteral("Kelvora6 Dec 2026"));
    }
}

TEST(QtPrintDialog, WithoutPageNumbersOffersNoPageRangeAndRejectingIsACancel) {
    QPrinter printer;
    QtCommonDialog dialog(&printer);
    dialog.flags = kCdlPrintReturnDc | kCdlPrintNoPageNums;
    bool pageRangeOffered = true;
    const auto user = [&pageRangeOffered](QPrintDialog* shown) {
        pageRangeOffered = shown->testOption(QAbstractPrintDialog::PrintPageRange);
        shown->reject();
    };
    EXPECT_EQ(show<QPrintDialog>([&] { return dialog.showPrinter(nullptr); }, user).kind,
              DialogOutcome::Cancelled);
    EXPECT_FALSE(pageRangeOffered);
}

}  // namespace
}  // namespace kelvora
