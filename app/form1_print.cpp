#include "app/form1.h"
#include "app/print_dialog.h"
#include "app/twip_label.h"
#include "platform/record_grid.h"
#include "print/print_lines.h"

namespace kelvora {

namespace {

constexpr int kPrintDialogFlags = kCdlPrintReturnDc | kCdlPrintNoPageNums;  // 264
// The live reading starts a little below the top of the page; the table starts at the top.
constexpr double kLiveStartTwips = 500;

const char kPrintErrorTitle[] = "Printing Error!";
const char kPrintErrorText[] = QT_TRANSLATE_NOOP("kelvora::Form1", "文件打印出错.");

}  // namespace

bool runPrintDialog(Form1& form, QWidget* parent) {
    form.CommonDialog1->flags = kPrintDialogFlags;
    form.CommonDialog1->cancelError = true;

    // Timers and the port keep running while the dialog is open, so everything printed is
    // read after it closes.
    const DialogOutcome outcome = form.CommonDialog1->showPrinter(parent);
    if (outcome.kind == DialogOutcome::Cancelled) {
        return false;
    }
    if (outcome.kind == DialogOutcome::Failed) {
        reportPrintFailure(form, parent, outcome.errorDescription);
        return false;
    }
    return true;
}

void reportPrintFailure(Form1& form, QWidget* parent, const QString& reason) {
    form.messageBoxes->beep();
    form.messageBoxes->exclamation(parent, QString::fromLatin1(kPrintErrorTitle),
                                   Form1::tr(kPrintErrorText) + QStringLiteral("\r\n") + reason);
}

void Form1::Command4_Click() {
    if (!runPrintDialog(*this, this)) {
        return;
    }
    QStringList lines;
    if (liveView) {
        // A failed positioning leaves the lines at the top; they are still worth printing.
        Printer->setCurrentY(kLiveStartTwips);
        const LiveCaptions captions{r[0]->caption(), rc[0]->caption(),       rp[0]->caption(),
                                    p[0]->caption(), p_length[0]->caption(), v[0]->caption(),
                                    i[0]->caption()};
        lines = livePrintLines(measureMode, captions);
    } else {
        const RecordGridModel& table = grid->cells();
        lines =
            recordTablePrintLines([&table](int row, int column) { return table.text(row, column); },
                                  table.rows(), recordTotal);
    }
    // A line the printer refuses is skipped; the document is ended whatever happened.
    for (const QString& line : lines) {
        Printer->print(line);
    }
    if (!Printer->endDoc()) {
        reportPrintFailure(*this, this, Printer->lastError());
    }
}

}  // namespace kelvora
