#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "app/demo_meter.h"
#include "app/form1.h"
#include "bench/bench.h"
#include "platform/pty_meter.h"
#include "platform/qt_serial_port.h"
#include "platform/real_seams.h"

namespace kelvora::bench {

// The window while the port search passes a port whose open takes 10 s (a Bluetooth port
// whose device is off): the largest delay of a 10 ms timer, from the window's start until
// the meter behind the next port has answered and a second more.
void slowOpenLatency() {
    PtyMeter slow;
    PtyMeter meter;
    QString why;
    if (!slow.start(&why) || !meter.start(&why)) {
        printFigure("serial: slow open skipped, no pseudo-terminal", 0, "");
        return;
    }
    meter.withSimulator([](MeterSimulator& simulated) { demo::configure(simulated); });
    PortMap ports;
    ports.assign(1, slow.devicePath());
    ports.assign(2, meter.devicePath());
    auto port = std::make_unique<QtSerialPort>(ports);
    const QString slowPath = slow.devicePath();
    port->setBeforeOpen([slowPath](const QString& device) {
        if (device == slowPath) {
            QThread::sleep(10);
        }
    });
    Form1Seams seams = makeRealSeams(ports);
    seams.serialPort = std::move(port);
    seams.endProgram = nullptr;

    double worstMs = 0;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        worstMs = std::max(worstMs, double(sinceTick.nsecsElapsed()) / 1e6 - 10);
        sinceTick.start();
    });
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);

    const BenchClock::time_point start = BenchClock::now();
    Form1 window(std::move(seams));
    QTimer found;
    double foundMs = -1;
    QObject::connect(&found, &QTimer::timeout, [&] {
        if (window.comConnected && foundMs < 0) {
            foundMs = millisecondsSince(start);
            end.start(1000);
        }
    });
    found.start(20);
    end.start(8000);  // the search has failed by then
    sinceTick.start();
    probe.start();
    loop.exec();
    printFigure("serial: slow open, meter on the next port found after (-1: not found)", foundMs,
                "ms");
    printGoal("serial: window event-loop latency while an open blocks 10 s (10 ms timer)", worstMs,
              "ms", 50);
    window.Command5_Click();
}

}  // namespace kelvora::bench
