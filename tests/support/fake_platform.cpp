#include "support/fake_platform.h"

#include <QDir>

namespace kelvora::testing {

DialogOutcome FakeCommonDialog::answer() {
    if (answers.empty())
        return {DialogOutcome::Cancelled, {}};
    Answer next = answers.front();
    answers.pop_front();
    if (next.whileOpen)
        next.whileOpen();
    if (next.outcome.kind == DialogOutcome::Accepted) {
        fileName = next.chosenPath.isEmpty() ? fileName : next.chosenPath;
        filterIndex = next.chosenFilterIndex ? next.chosenFilterIndex : filterIndex;
    }
    return next.outcome;
}

// Keeps a raw pointer to the fake for the test, hands ownership to the seams.
template <typename Fake, typename Base>
void plant(std::unique_ptr<Base>& seam, Fake*& raw) {
    auto fake = std::make_unique<Fake>();
    raw = fake.get();
    seam = std::move(fake);
}

std::unique_ptr<TestForm> makeTestForm(const QString& saveFolder, const QByteArray& charset,
                                       SpreadsheetFactory spreadsheet) {
    auto test = std::make_unique<TestForm>();
    Form1Seams seams;
    plant(seams.serialPort, test->port);
    plant(seams.commonDialog, test->dialog);
    plant(seams.printer, test->printer);
    plant(seams.clipboard, test->clipboard);
    plant(seams.messageBoxes, test->messages);
    plant(seams.clock, test->clock);
    seams.createSpreadsheet = std::move(spreadsheet);
    seams.endProgram = [raw = test.get()] { ++raw->programEnds; };
    seams.defaultSaveFolder =
        saveFolder.isEmpty() ? QDir::temp().filePath(QStringLiteral("kelvora-test")) : saveFolder;
    seams.textCharset = charset;
    test->form = std::make_unique<Form1>(std::move(seams));
    return test;
}

}  // namespace kelvora::testing
