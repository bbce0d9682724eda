#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>
#include <memory>

#include "app/form1.h"
#include "platform/qt_serial_port.h"
#include "support/fake_platform.h"

namespace kelvora::testing {

// Runs the event loop until `condition` holds or `timeoutMs` has passed; returns the condition.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    for (QDeadlineTimer deadline(timeoutMs); !condition(); QThread::msleep(2)) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
inline void processEventsFor(int ms) {
    waitUntil([] { return false; }, ms);
}

// A Form1 on the real serial adapter, a fixed clock and message boxes that only record;
// no dialogs, printer or clipboard.
inline std::unique_ptr<Form1> makePtyForm(const PortMap& ports) {
    Form1Seams seams;
    seams.serialPort = std::make_unique<QtSerialPort>(ports);
    seams.clock = std::make_unique<FixedClock>();
    seams.messageBoxes = std::make_unique<FakeMessageBoxes>();
    return std::make_unique<Form1>(std::move(seams));
}

}  // namespace kelvora::testing
