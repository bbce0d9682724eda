#include <pty.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <fstream>
#include <memory>

#include "app/demo_meter.h"
#include "bench/bench.h"
#include "modbus/modbus_frame.h"
#include "platform/pty_meter.h"

namespace kelvora::bench {

namespace {

constexpr int kDemoPort = 3;

// CPU time of every thread of a process so far, in nanoseconds (the scheduler's own count,
// far finer than the clock ticks of /proc/PID/stat).
double cpuNanoseconds(qint64 pid) {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream schedstat(tasks.filePath(task + QStringLiteral("/schedstat")).toStdString());
        double running = 0;
        if (schedstat >> running) {
            total += running;
        }
    }
    return total;
}

bool sawLiveReadingRequest(PtyMeter& meter) {
    for (const QByteArray& request : meter.requests()) {
        if (request.size() >= 4 && std::uint8_t(request[3]) == kRegisterLiveReading) {
            return true;
        }
    }
    return false;
}

// Runs the program with `ports`, waits for `ready`, then its share of one core over `seconds`
// in percent; -1 when it did not get ready.
double idlePercent(const QStringList& ports, const std::function<bool()>& ready, int seconds) {
    QStringList arguments;
    for (const QString& port : ports) {
        arguments << QStringLiteral("--port") << port;
    }
    QProcess program;
    program.setProcessEnvironment(childEnvironment(Screen::User));
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../kelvora"),
                  arguments);
    if (!program.waitForStarted(10000)) {
        return -1;
    }
    double percent = -1;
    for (int waited = 0; waited < 150 && !ready(); ++waited) {
        QThread::msleep(100);
    }
    if (ready()) {
        QThread::msleep(2000);  // past start-up and the first layout
        const double before = cpuNanoseconds(program.processId());
        const auto start = BenchClock::now();
        QThread::sleep(seconds);
        const double used = cpuNanoseconds(program.processId()) - before;
        percent = used / (secondsSince(start) * 1e9) * 100.0;
    }
    program.kill();
    program.waitForFinished();
    return percent;
}

}  // namespace

void runIdleBenchmarks(int seconds) {
    const std::string over =
        ", over " + std::to_string(seconds) + " s on " + platformName(Screen::User).toStdString();
    PtyMeter meter;
    if (meter.start()) {
        // A steady reading: an idle meter, where the demo's would change mode every few seconds
        // and set off the panel's animation.
        meter.withSimulator(
            [](MeterSimulator& simulator) { simulator.setLiveReading(demo::liveReadingAt(0)); });
        const double connected = idlePercent(
            {QStringLiteral("%1=%2").arg(kDemoPort).arg(meter.devicePath())},
            [&] { return sawLiveReadingRequest(meter); }, seconds);
        printGoal("idle CPU: connected, 1 s poll and clock" + over, connected, "% of a core", 0.2);
    }

    // Every port leads to a terminal where no meter answers: the search goes on for ever.
    int controller = -1, device = -1;
    char name[256] = {};
    if (openpty(&controller, &device, name, nullptr, nullptr) == 0) {
        QStringList ports;
        for (int port = 1; port <= 16; ++port) {
            ports << QStringLiteral("%1=%2").arg(port).arg(QString::fromLocal8Bit(name));
        }
        const double searching = idlePercent(
            ports, [] { return true; }, seconds);
        printGoal("idle CPU: searching, a port every 300 ms" + over, searching, "% of a core", 0.4);
        close(controller);
        close(device);
    }
}

}  // namespace kelvora::bench
