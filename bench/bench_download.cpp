#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTabBar>
#include <QThread>
#include <functional>

#include "app/demo_meter.h"
#include "app/form1.h"
#include "bench/bench.h"
#include "platform/pty_meter.h"
#include "platform/real_seams.h"
#include "seams/message_boxes.h"

namespace kelvora::bench {

namespace {

class SilentBoxes : public MessageBoxes {
public:
    void information(QWidget*, const QString&, const QString&) override {}
    void exclamation(QWidget*, const QString&, const QString&) override {}
    void warning(QWidget*, const QString&, const QString&) override { ++warnings; }
    bool question(QWidget*, const QString&, const QString&) override { return false; }
    void beep() override {}
    int warnings = 0;
};

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    for (QDeadlineTimer deadline(timeoutMs); !condition(); QThread::msleep(1)) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The demo meter's 25 records read through the window, from Read to the end of the download.
void downloadFrom(int replyDelayMs) {
    const std::string name =
        "download: 25 records, replies " + std::to_string(replyDelayMs) + " ms late";
    PtyMeter meter;
    if (!meter.start()) {
        printFigure(name + " skipped, no pseudo-terminal", 0, "");
        return;
    }
    meter.withSimulator([](MeterSimulator& simulated) { demo::configure(simulated); });
    MeterFaults faults;
    faults.replyDelayMs = replyDelayMs;
    faults.onlyRegister = 4;
    meter.setFaults(faults);
    PortMap ports;
    ports.assign(1, meter.devicePath());
    Form1 form(makeRealSeams(ports));
    auto boxes = std::make_unique<SilentBoxes>();
    SilentBoxes& shown = *boxes;
    form.messageBoxes = std::move(boxes);
    form.TabStrip1->setCurrentIndex(1);
    if (!waitFor([&] { return form.comConnected && !form.Findcom.isActive(); }, 5000)) {
        printFigure(name + " skipped, the meter was not found", 0, "");
        return;
    }
    QElapsedTimer timer;
    timer.start();
    form.Command1_Click();
    const bool ended = waitFor([&] { return !form.download.running(); }, 60000);
    printFigure(name, timer.elapsed() / 1000.0, "s");
    if (!ended || shown.warnings > 0) {
        printFigure(name + ", records missing", form.download.missing().size(), "records");
    }
}

}  // namespace

void runDownloadBenchmarks() {
    downloadFrom(0);
    downloadFrom(150);
}

}  // namespace kelvora::bench
