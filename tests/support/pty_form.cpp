#include "support/pty_form.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include "platform/qt_serial_port.h"

namespace kelvora::testing {

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return condition();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

void processEventsFor(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
}

std::unique_ptr<PtyForm> makePtyForm(const PortMap& ports) {
    auto test = std::make_unique<PtyForm>();
    Form1Seams seams;
    auto port = std::make_unique<QtSerialPort>(ports);
    auto dialog = std::make_unique<FakeCommonDialog>();
    auto messages = std::make_unique<FakeMessageBoxes>();
    test->port = port.get();
    test->dialog = dialog.get();
    test->messages = messages.get();
    seams.serialPort = std::move(port);
    seams.commonDialog = std::move(dialog);
    seams.printer = std::make_unique<FakePrinter>();
    seams.clipboard = std::make_unique<FakeClipboard>();
    seams.messageBoxes = std::move(messages);
    seams.clock = std::make_unique<FixedClock>();
    PtyForm* raw = test.get();
    seams.endProgram = [raw] { ++raw->programEnds; };
    seams.defaultSaveFolder = QDir::temp().filePath(QStringLiteral("kelvora-test"));
    seams.textCharset = QByteArrayLiteral("UTF-8");
    test->form = std::make_unique<Form1>(std::move(seams));
    return test;
}

}  // namespace kelvora::testing
