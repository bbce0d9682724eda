#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>

#include "app/form1.h"
#include "bench/bench.h"
#include "bench/memory_port.h"
#include "bench/process_stats.h"
#include "bench/save_window.h"
#include "formats/xls_workbook.h"
#include "modbus/port_map.h"
#include "platform/real_seams.h"
#include "platform/record_grid.h"

namespace kelvora::bench {

double secondsSince(BenchClock::time_point start) {
    return std::chrono::duration<double>(BenchClock::now() - start).count();
}

double millisecondsSince(BenchClock::time_point start) {
    return secondsSince(start) * 1e3;
}

double microsecondsSince(BenchClock::time_point start) {
    return secondsSince(start) * 1e6;
}

void printVersus(const std::string& name, double value, const std::string& unit,
                 const std::string& peer, double peerValue, double goalRatio) {
    printFigure(name, value, unit);
    std::printf("    %s: %.3f %s; ratio %.2f, goal <= %.2f%s\n", peer.c_str(), peerValue,
                unit.c_str(), value / peerValue, goalRatio,
                value > 0 && peerValue > 0 && value / peerValue <= goalRatio ? "" : "  (missed)");
    std::fflush(stdout);
}

void printGoal(const std::string& name, double value, const std::string& unit, double goal) {
    printFigure(name, value, unit);
    std::printf("    goal <= %.3f %s; ratio %.2f%s\n", goal, unit.c_str(), value / goal,
                value >= 0 && value <= goal ? "" : "  (missed)");
    std::fflush(stdout);
}

namespace {
bool platformChosenHere = false;

// An X display (Xvfb under xvfb-run, or XWayland on a Wayland desktop): the xcb platform is
// what Debian's Qt always has, where the Wayland one is a package of its own.
bool hasXDisplay(const QProcessEnvironment& environment) {
    return !environment.value(QStringLiteral("DISPLAY")).isEmpty();
}
}  // namespace

void chooseOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        platformChosenHere = true;
    }
}

// Named, not left to Qt, because a child that is the benchmark itself would go headless again.
QProcessEnvironment childEnvironment(Screen screen) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (screen == Screen::User && platformChosenHere && hasXDisplay(environment)) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }
    return environment;
}

QString platformName(Screen screen) {
    return childEnvironment(screen).value(QStringLiteral("QT_QPA_PLATFORM"));
}

Figures runFigureProcess(const QString& program, const QStringList& arguments, Screen screen) {
    QProcess child;
    child.setProgram(program);
    child.setArguments(arguments);
    QProcessEnvironment environment = childEnvironment(screen);
    environment.insert(QString::fromLatin1(kLaunchVariable),
                       QString::number(nanosecondsSinceBoot()));
    child.setProcessEnvironment(environment);
    child.start();
    Figures figures;
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
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

double figureOf(const Figures& figures, const std::string& name) {
    for (const auto& [key, value] : figures) {
        if (key == name) {
            return value;
        }
    }
    return -1;
}

QString benchProgram(const QString& name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

double percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    return samples[static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1))];
}

void stopTimers(Form1& form) {
    for (QTimer* timer : {&form.Findcom, &form.COMtimout, &form.comunication, &form.Readdat,
                          &form.vrprecord, &form.Movectrltimer, &form.Movetimer, &form.Timer1}) {
        timer->stop();
    }
}

void fillFullRecordTable(RecordGridModel& table) {
    const char* const header[] = {"NO.", "R", "ρ", "ρLenght", "Rc", "Rp", "I", "V"};
    table.setCols(8);
    table.setRows(kFullRecordCount + 1);
    for (int column = 0; column < 8; ++column) {
        table.setText(0, column, QString::fromUtf8(header[column]));
    }
    for (int row = 1; row <= kFullRecordCount; ++row) {
        table.setText(row, 0, QString::number(row));
        switch (row % 4) {
            case 0:
                table.setText(row, 1, QStringLiteral("12.34KΩ"));
                table.setText(row, 4, QStringLiteral("2.00KΩ"));
                table.setText(row, 5, QStringLiteral("3.00KΩ"));
                break;
            case 1:
                table.setText(row, 2, QStringLiteral("123.4Ωm"));
                table.setText(row, 3, QStringLiteral("5.0m"));
                table.setText(row, 4, QStringLiteral("2.00KΩ"));
                table.setText(row, 5, QStringLiteral("3.00KΩ"));
                break;
            case 2:
                table.setText(row, 6, QStringLiteral("12.3mA"));
                break;
            default:
                table.setText(row, 7, QStringLiteral("50.0V"));
                break;
        }
    }
}

BenchWindow makeSaveWindow(const QString& folder, const QByteArray& charset) {
    Form1Seams seams = makeRealSeams(PortMap());
    seams.serialPort = std::make_unique<MemoryPort>();
    auto dialog = std::make_unique<ConfirmingDialog>();
    BenchWindow window;
    window.dialog = dialog.get();
    seams.commonDialog = std::move(dialog);
    seams.createSpreadsheet = [] { return makeXlsWorkbook(); };
    seams.defaultSaveFolder = folder;
    seams.textCharset = charset;
    window.form = std::make_unique<Form1>(std::move(seams));
    stopTimers(*window.form);
    return window;
}

// Kilobytes of a /proc/self/status line ("VmRSS", "VmHWM").
double statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(line.indexOf(':') + 1).trimmed().split(' ').front().toDouble();
        }
    }
    return 0;
}

// Time of `run` in ms and how far the resident memory rose above where it stood, in MiB.
// Writing 5 to clear_refs resets the high-water mark (Linux); elsewhere the rise reads 0.
std::pair<double, double> timeAndPeak(const std::function<void()>& run) {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const double before = statusKiB("VmRSS");
    const auto start = BenchClock::now();
    run();
    const double ms = millisecondsSince(start);
    return {ms, reset ? (statusKiB("VmHWM") - before) / 1024.0 : 0.0};
}

}  // namespace kelvora::bench
