#include <sys/resource.h>
#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/twip_label.h"
#include "bench/bench.h"
#include "link/demo_meter.h"
#include "link/port_map.h"
#include "platform/pty_meter.h"
#include "platform/real_seams.h"
#include "platform/record_grid.h"

namespace kelvora::bench {

namespace {

constexpr int kDemoPort = 3;
constexpr int kStartupRuns = 5;

// Seconds since boot at which this process started, from /proc/self/stat (field 22, in clock
// ticks); the command name in field 2 may hold spaces, so fields are counted after its ')'.
double processStartSeconds() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    for (int index = 3; index <= 22 && fields >> field; ++index) {
        if (index == 22) {
            return std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
        }
    }
    return -1;
}

// The clock that /proc's start time counts on.
double secondsSinceBoot() {
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long peakResidentKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Notes the moment the window's first show event is handled.
class FirstShowWatch : public QObject {
public:
    double startupMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && startupMs < 0) {
            startupMs = (secondsSinceBoot() - processStartSeconds()) * 1000.0;
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

// "startup" or "demo"; prints "startup_ms <value>" and, for the demo, "peak_kb <value>".
int runChild(const std::string& role) {
    std::unique_ptr<PtyMeter> meter;
    PortMap ports = PortMap::fromSystem();
    if (role == "demo") {
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
    std::printf("startup_ms %.3f\n", watch.startupMs);
    if (meter) {
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
        std::printf("peak_kb %ld\n", peakResidentKilobytes());
    }
    std::fflush(stdout);
    return 0;
}

// Runs this program again as a child in `role`; the child's "name value" lines.
std::vector<std::pair<std::string, double>> runChildProcess(const std::string& role) {
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments({QStringLiteral("--window-child"), QString::fromStdString(role)});
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start();
    std::vector<std::pair<std::string, double>> figures;
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        child.kill();
        child.waitForFinished();
        return figures;
    }
    std::istringstream lines(child.readAllStandardOutput().toStdString());
    std::string name;
    double value = 0;
    while (lines >> name >> value) {
        figures.emplace_back(name, value);
    }
    return figures;
}

double figureOf(const std::vector<std::pair<std::string, double>>& figures,
                const std::string& name) {
    for (const auto& [key, value] : figures) {
        if (key == name) {
            return value;
        }
    }
    return -1;
}

void benchmarkStartup() {
    std::vector<double> times;
    for (int run = 0; run < kStartupRuns; ++run) {
        const double ms = figureOf(runChildProcess("startup"), "startup_ms");
        if (ms >= 0) {
            times.push_back(ms);
        }
    }
    if (times.empty()) {
        printFigure("window: process start to first shown window (failed)", -1, "ms");
        return;
    }
    std::sort(times.begin(), times.end());
    printFigure(
        "window: process start to first shown window, median of " + std::to_string(times.size()),
        times[times.size() / 2], "ms");
    printFigure("window: process start to first shown window, fastest", times.front(), "ms");
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
    benchmarkStartup();
    benchmarkDemo();
    benchmarkInProcess();
}

}  // namespace kelvora::bench
