#include "support/fake_platform.h"

#include <QDir>

namespace kelvora::testing {

DialogOutcome FakeCommonDialog::answer() {
    if (answers.empty()) {
        return {DialogOutcome::Cancelled, {}};
    }
    Answer next = answers.front();
    answers.pop_front();
    if (next.whileOpen) {
        next.whileOpen();
    }
    if (next.outcome.kind == DialogOutcome::Accepted) {
        if (!next.chosenPath.isEmpty()) {
            fileName = next.chosenPath;
        }
        if (next.chosenFilterIndex != 0) {
            filterIndex = next.chosenFilterIndex;
        }
    }
    return next.outcome;
}

DialogOutcome FakeCommonDialog::showSave(QWidget*) {
    ++saveShows;
    shownFileNames << fileName;
    shownFilters << filter;
    shownDefaultExts << defaultExt;
    shownInitDirs << initDir;
    shownFlags << flags;
    return answer();
}

DialogOutcome FakeCommonDialog::showPrinter(QWidget*) {
    ++printShows;
    shownFlags << flags;
    return answer();
}

bool FakePrinter::setCurrentY(double twips) {
    log << QStringLiteral("currentY %1").arg(twips);
    return true;
}

bool FakePrinter::print(const QString& line) {
    if (failingLines.contains(line)) {
        log << QStringLiteral("failed ") + line;
        return false;
    }
    lines << line;
    log << QStringLiteral("print ") + line;
    return true;
}

bool FakePrinter::endDoc() {
    ++documentsEnded;
    log << QStringLiteral("endDoc");
    return true;
}

std::unique_ptr<TestForm> makeTestForm(const QString& saveFolder, const QByteArray& charset,
                                       SpreadsheetFactory spreadsheet) {
    auto test = std::make_unique<TestForm>();
    Form1Seams seams;
    auto port = std::make_unique<FakeSerialPort>();
    auto dialog = std::make_unique<FakeCommonDialog>();
    auto printer = std::make_unique<FakePrinter>();
    auto clipboard = std::make_unique<FakeClipboard>();
    auto messages = std::make_unique<FakeMessageBoxes>();
    auto clock = std::make_unique<FixedClock>();
    test->port = port.get();
    test->dialog = dialog.get();
    test->printer = printer.get();
    test->clipboard = clipboard.get();
    test->messages = messages.get();
    test->clock = clock.get();
    seams.serialPort = std::move(port);
    seams.commonDialog = std::move(dialog);
    seams.printer = std::move(printer);
    seams.clipboard = std::move(clipboard);
    seams.messageBoxes = std::move(messages);
    seams.clock = std::move(clock);
    seams.createSpreadsheet = std::move(spreadsheet);
    TestForm* raw = test.get();
    seams.endProgram = [raw] { ++raw->programEnds; };
    seams.defaultSaveFolder =
        saveFolder.isEmpty() ? QDir::temp().filePath(QStringLiteral("kelvora-test")) : saveFolder;
    seams.textCharset = charset;
    test->form = std::make_unique<Form1>(std::move(seams));
    return test;
}

}  // namespace kelvora::testing
