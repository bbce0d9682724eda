#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include "platform/qt_common_dialog.h"

namespace kelvora {
namespace {

TEST(QtPrintDialog, WithoutPageNumbersOffersNoPageRangeAndRejectingIsACancel) {
    QPrinter printer;
    QtCommonDialog dialog(&printer);
    dialog.flags = kCdlPrintReturnDc | kCdlPrintNoPageNums;
    bool shown = false, pageRangeOffered = true;
    QTimer poll;  // the dialog is modal: a timer closes it once it shows
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* open = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            poll.stop();
            shown = true;
            pageRangeOffered = open->testOption(QAbstractPrintDialog::PrintPageRange);
            open->reject();
        }
    });
    poll.start(20);
    EXPECT_EQ(dialog.showPrinter(nullptr).kind, DialogOutcome::Cancelled);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(pageRangeOffered);
}

}  // namespace
}  // namespace kelvora
