#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>
#include <QTabBar>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/demo_meter.h"
#include "app/form1.h"
#include "app/twip_label.h"
#include "bench/bench.h"
#include "bench/process_stats.h"
#include "modbus/port_map.h"
#include "platform/pty_meter.h"
#include "platform/real_seams.h"
#include "platform/record_grid.h"

namespace kelvora::bench {

namespace {

constexpr int kDemoPort = 3;
constexpr int kStartupRuns = 11;

// Notes the moment the window's first show event is handled.
class FirstShowWatch : public QObject {
public:
    double startupMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && startupMs < 0) {
            startupMs = millisecondsSinceProcessStart();
        }
        return QObject::eventFilter(watched, event);
    }
};

// Runs the event loop until `done` holds or the deadline passes; false on the deadline.
bool runUntil(const std::function<bool()>& done, int deadlineMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > deadlineMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// "startup", "demo-startup" or "demo"; prints "startup_ms <value>", "width", "height" and
// "peak_kb <value>": for
// the start-up roles once the window has been painted (as the hello-world does), for the demo
// once the records are downloaded.
int runChild(const std::string& role) {
    std::unique_ptr<PtyMeter> meter;
    PortMap ports = PortMap::fromSystem();
    if (role == "demo" || role == "demo-startup") {
        meter = std::make_unique<PtyMeter>();
        if (!meter->start()) {
            return 3;
        }
        meter->withSimulator([](MeterSimulator& simulator) { demo::configure(simulator); });
        ports.assign(kDemoPort, meter->devicePath());
    }
    Form1 window(makeRealSeams(ports));
    FirstShowWatch watch;
    window.installEventFilter(&watch);
    window.show();
    std::printf("startup_ms %.3f\nwidth %d\nheight %d\n", watch.startupMs, window.width(),
                window.height());
    if (role != "demo") {
        runUntil([] { return false; }, 300);
        std::printf("peak_kb %ld\n", statusKilobytes("VmHWM"));
    } else {
        // Connected, a few live readings, then the stored records downloaded.
        if (!runUntil([&] { return window.comConnected && window.comunication.isActive(); },
                      15000)) {
            return 4;
        }
        runUntil([] { return false; }, 3000);
        window.TabStrip1->setCurrentIndex(1);
        window.Command1_Click();
        const bool downloaded = runUntil(
            [&] {
                return window.grid->rows() == demo::kStoredRecordCount + 1 &&
                       !window.Readdat.isActive() && window.Command1->isEnabled();
            },
            15000);
        std::printf("records %d\n", downloaded ? window.grid->rows() - 1 : -1);
        std::printf("peak_kb %ld\n", statusKilobytes("VmHWM"));
    }
    std::fflush(stdout);
    return 0;
}

Figures runChildProcess(const std::string& role) {
    return runFigureProcess(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--window-child"), QString::fromStdString(role)},
                            Screen::User);
}

// Start-up beside a Qt Widgets hello-world, runs interleaved so both see the same machine.
void benchmarkStartup(const std::string& role, const std::string& label) {
    std::vector<double> times, memory, helloTimes, helloMemory, sizedMemory;
    const QString helloProgram = benchProgram(QStringLiteral("kelvora_hello_window"));
    for (int run = 0; run < kStartupRuns; ++run) {
        const Figures window = runChildProcess(role);
        const Figures hello = runFigureProcess(helloProgram, {}, Screen::User);
        const Figures sized =
            runFigureProcess(helloProgram,
                             {QStringLiteral("--sized"), QString::number(figureOf(window, "width")),
                              QString::number(figureOf(window, "height"))},
                             Screen::User);
        sizedMemory.push_back(figureOf(sized, "peak_kb") / 1024.0);
        if (figureOf(window, "startup_ms") >= 0 && figureOf(hello, "startup_ms") >= 0) {
            times.push_back(figureOf(window, "startup_ms"));
            memory.push_back(figureOf(window, "peak_kb") / 1024.0);
            helloTimes.push_back(figureOf(hello, "startup_ms"));
            helloMemory.push_back(figureOf(hello, "peak_kb") / 1024.0);
        }
    }
    if (times.empty()) {
        printFigure("window: " + label + " (failed)", -1, "ms");
        return;
    }
    const std::string runs = ", median of " + std::to_string(times.size()) + " on " +
                             platformName(Screen::User).toStdString();
    printVersus("window: " + label + ", process start to first show" + runs, median(times), "ms",
                "Qt Widgets hello-world", median(helloTimes), 1.3);
    printVersus("window: " + label + ", peak memory once painted" + runs, median(memory), "MiB",
                "Qt Widgets hello-world", median(helloMemory), 1.2);
    // Most of what is left is the window's size (its backing store) and the CJK font.
    printVersus("window: " + label + ", the same memory", median(memory), "MiB",
                "hello-world of the window's size, in Chinese", median(sizedMemory), 1.2);
}

void benchmarkDemo() {
    const auto figures = runChildProcess("demo");
    printFigure("window: process start to first shown window, demo meter",
                figureOf(figures, "startup_ms"), "ms");
    printFigure("window: records downloaded from the demo meter", figureOf(figures, "records"),
                "records");
    printFigure("window: peak memory, demo meter connected, records downloaded",
                figureOf(figures, "peak_kb") / 1024.0, "MiB");
}

// In-process costs of the window's own work: building it, and the animation's steps.
void benchmarkInProcess() {
    constexpr int kWindows = 10;
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < kWindows; ++n) {
        Form1 window(makeRealSeams(PortMap()));
    }
    printFigure("window: construction with start-up sequence",
                clock.nsecsElapsed() / 1e6 / kWindows, "ms");

    Form1 window(makeRealSeams(PortMap()));
    window.show();
    constexpr int kLayouts = 200;
    int steps = 0;
    clock.restart();
    for (int n = 0; n < kLayouts; ++n) {
        window.measureMode = 1 + n % 4;
        window.vrprecord_Timer();
        while (window.Movectrltimer.isActive()) {
            window.Movectrltimer_Timer();
            while (window.Movetimer.isActive()) {
                window.Movetimer_Timer();
                ++steps;
            }
        }
    }
    const double totalUs = clock.nsecsElapsed() / 1e3;
    printFigure("window: one fly-in step (5 ms timer budget), mean", totalUs / steps, "us");
}

}  // namespace

int runWindowChild(const char* role) {
    return runChild(role);
}

void runWindowBenchmarks() {
    benchmarkStartup("startup", "start-up");
    benchmarkStartup("demo-startup", "start-up with --demo");
    benchmarkDemo();
    benchmarkInProcess();
}

}  // namespace kelvora::bench
