#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/qt_common_dialog.h"

namespace kelvora {
namespace {

struct SeenDialog {
    bool shown = false;
    bool pageRangeOffered = true;
};

// Waits (generously) for the modal print dialog, notes what it offers and closes it with the
// given action. The watch ends with the returned timer, so it cannot outlive `seen`.
std::unique_ptr<QTimer> closePrintDialogWhenShown(SeenDialog& seen,
                                                  std::function<void(QPrintDialog&)> close) {
    auto timer = std::make_unique<QTimer>();
    QTimer* poll = timer.get();
    const QDeadlineTimer deadline(30000);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &seen, close, deadline] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr && !deadline.hasExpired()) {
            return;
        }
        poll->stop();
        if (dialog != nullptr) {
            seen.shown = true;
            seen.pageRangeOffered = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
            close(*dialog);
        }
    });
    poll->start(20);
    return timer;
}

class QtPrintDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("out.pdf")));
    }
    QTemporaryDir folder;
    QPrinter printer{QPrinter::HighResolution};
};

TEST_F(QtPrintDialog, WithoutAPrinterFailsWithADescription) {
    QtCommonDialog dialog(nullptr);
    const DialogOutcome outcome = dialog.showPrinter(nullptr);
    EXPECT_EQ(outcome.kind, DialogOutcome::Failed);
    EXPECT_FALSE(outcome.errorDescription.isEmpty());
}

TEST_F(QtPrintDialog, RejectingIsACancel) {
    QtCommonDialog dialog(&printer);
    dialog.flags = kCdlPrintReturnDc | kCdlPrintNoPageNums;
    SeenDialog seen;
    const auto watch = closePrintDialogWhenShown(seen, [](QPrintDialog& shown) { shown.reject(); });
    EXPECT_EQ(dialog.showPrinter(nullptr).kind, DialogOutcome::Cancelled);
    EXPECT_TRUE(seen.shown);
}

TEST_F(QtPrintDialog, AcceptingKeepsTheChosenOutputOnThePrinter) {
    QtCommonDialog dialog(&printer);
    dialog.flags = kCdlPrintReturnDc | kCdlPrintNoPageNums;
    SeenDialog seen;
    const auto watch = closePrintDialogWhenShown(seen, [](QPrintDialog& shown) { shown.accept(); });
    EXPECT_EQ(dialog.showPrinter(nullptr).kind, DialogOutcome::Accepted);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(printer.outputFileName(), folder.filePath(QStringLiteral("out.pdf")));
}

TEST_F(QtPrintDialog, PageRangeIsOfferedOnlyWithoutTheNoPageNumbersFlag) {
    struct Case {
        int flags;
        bool pageRangeOffered;
    };
    for (const Case& c : {Case{kCdlPrintReturnDc | kCdlPrintNoPageNums, false},
                          Case{kCdlPrintNoPageNums, false}, Case{kCdlPrintReturnDc, true}}) {
        SCOPED_TRACE(c.flags);
        QtCommonDialog dialog(&printer);
        dialog.flags = c.flags;
        SeenDialog seen;
        const auto watch =
            closePrintDialogWhenShown(seen, [](QPrintDialog& shown) { shown.reject(); });
        dialog.showPrinter(nullptr);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.pageRangeOffered, c.pageRangeOffered);
    }
}

}  // namespace
}  // namespace kelvora
