#include <sys/resource.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "app/demo_meter.h"
#include "bench/bench.h"
#include "modbus/meter_simulator.h"
#include "modbus/modbus_frame.h"
#include "platform/pty_meter.h"
#include "platform/qt_serial_port.h"

namespace kelvora::bench {

namespace {

constexpr int kRoundTrips = 400;

double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The pure meter: one live-reading request in, its reply out.
void simulatorAnswer() {
    MeterSimulator meter;
    demo::configure(meter);
    const QByteArray request = toByteArray(buildRequestFrame(Request::liveReading()));
    constexpr int kRequests = 200000;
    QElapsedTimer timer;
    timer.start();
    qsizetype replied = 0;
    for (int n = 0; n < kRequests; ++n) {
        replied += meter.receive(request, n).size();
    }
    const double ns = static_cast<double>(timer.nsecsElapsed()) / kRequests;
    printFigure("serial: simulated meter, one request answered", ns, "ns");
    if (replied != kRequests) {
        printFigure("serial: simulated meter, requests left unanswered",
                    static_cast<double>(kRequests - replied), "requests");
    }
}

// Request built and handed to the port, then the reply's receive event, over a pseudo-terminal.
void roundTrips() {
    PtyMeter meter;
    QString why;
    if (!meter.start(&why)) {
        printFigure("serial: round trip skipped, no pseudo-terminal", 0, "");
        return;
    }
    meter.withSimulator([](MeterSimulator& simulated) { demo::configure(simulated); });
    PortMap ports;
    ports.assign(1, meter.devicePath());
    QtSerialPort port(ports);
    port.setPortNumber(1);
    if (port.open() != OpenResult::Ok) {
        printFigure("serial: round trip skipped, the port did not open", 0, "");
        return;
    }
    QEventLoop loop;
    port.setEventHandler([&](int code) {
        if (code == kComEvReceive) {
            port.readAll();
            loop.quit();
        }
    });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);

    std::vector<double> sendUs;
    std::vector<double> roundTripUs;
    int lost = 0;
    QElapsedTimer timer;
    for (int n = 0; n < kRoundTrips; ++n) {
        timer.start();
        port.setReceiveThreshold(*receiveThresholdFor(kRegisterLiveReading));
        port.write(toByteArray(buildRequestFrame(Request::liveReading())));
        port.discardInput();
        port.discardOutput();
        sendUs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
        timeout.start(1000);
        loop.exec();
        if (!timeout.isActive()) {
            ++lost;
            continue;
        }
        timeout.stop();
        roundTripUs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    printFigure("serial: build and send one request, median", percentile(sendUs, 0.5), "us");
    printFigure("serial: build and send one request, p95", percentile(sendUs, 0.95), "us");
    printFigure("serial: request to reply event over a pty, median", percentile(roundTripUs, 0.5),
                "us");
    printFigure("serial: request to reply event over a pty, p95", percentile(roundTripUs, 0.95),
                "us");
    printFigure("serial: round trips without a reply", lost, "requests");

    // A device that goes away must not leave the program polling a dead line.
    bool gone = false;
    port.setEventHandler([&](int code) { gone = gone || code == kComEventDeviceGone; });
    const double cpuBefore = processCpuMs();
    meter.hangUp();
    QEventLoop idle;
    QTimer::singleShot(2000, &idle, &QEventLoop::quit);
    idle.exec();
    printFigure("serial: CPU used in the 2 s after the meter hangs up", processCpuMs() - cpuBefore,
                "ms");
    printFigure("serial: port closed after the hang-up", gone && !port.isOpen() ? 1 : 0, "(1 yes)");
}

}  // namespace

void runSerialBenchmarks() {
    simulatorAnswer();
    roundTrips();
    slowOpenLatency();
}

}  // namespace kelvora::bench
