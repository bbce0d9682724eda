#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/twip_label.h"
#include "platform/qt_common_dialog.h"
#include "platform/qt_printer.h"
#include "support/fake_platform.h"

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

TEST_F(QtPrintDialog, WithoutAPrinterProposesAPdfFileInTheHomeFolder) {
    QtPrinter pdfOnly;
    pdfOnly.qprinter()->setOutputFormat(QPrinter::PdfFormat);
    pdfOnly.qprinter()->setOutputFileName(QString());
    QtCommonDialog dialog(pdfOnly.qprinter());
    QString proposed;
    SeenDialog seen;
    const auto watch = closePrintDialogWhenShown(seen, [&](QPrintDialog& shown) {
        proposed = shown.printer()->outputFileName();
        shown.reject();
    });
    dialog.showPrinter(nullptr);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(proposed, QDir::home().filePath(QStringLiteral("Kelvora.pdf")));
}

TEST_F(QtPrintDialog, AcceptingAPdfNameThatCannotBeWrittenFails) {
    for (const QString& name :
         {folder.path(), folder.filePath(QStringLiteral("no such folder/out.pdf"))}) {
        SCOPED_TRACE(name.toStdString());
        printer.setOutputFileName(name);
        QtCommonDialog dialog(&printer);
        SeenDialog seen;
        const auto watch =
            closePrintDialogWhenShown(seen, [](QPrintDialog& shown) { shown.accept(); });
        const DialogOutcome outcome = dialog.showPrinter(nullptr);
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(outcome.kind, DialogOutcome::Failed);
        EXPECT_TRUE(outcome.errorDescription.contains(name));
    }
}

TEST(PrintThroughTheQtDialog, TheDialogSetsUpThePrinterThatThePrintCommandDrawsOn) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("reading.pdf"));
    auto test = testing::makeTestForm();
    Form1& form = *test->form;
    auto printer = std::make_unique<QtPrinter>();
    printer->qprinter()->setOutputFormat(QPrinter::PdfFormat);
    printer->qprinter()->setOutputFileName(path);
    form.CommonDialog1 = std::make_unique<QtCommonDialog>(printer->qprinter());
    form.Printer = std::move(printer);
    form.liveView = true;
    form.measureMode = 3;
    form.v[0]->setCaption(QStringLiteral("230.5 V"));

    SeenDialog seen;
    const auto watch = closePrintDialogWhenShown(seen, [](QPrintDialog& shown) { shown.accept(); });
    form.Command4_Click();
    ASSERT_TRUE(seen.shown);
    EXPECT_FALSE(seen.pageRangeOffered);
    EXPECT_TRUE(test->messages->shown.isEmpty());

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified(),
              QStringLiteral("V: 230.5 V"));
}

}  // namespace
}  // namespace kelvora
