#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kelvora {
class Form1;
class RecordGridModel;
}  // namespace kelvora

namespace kelvora::bench {

// Each subject's benchmarks print their figures, one per line, "name: value unit".
void printFigure(const std::string& name, double value, const std::string& unit);
// A figure beside its peer or floor, with the ratio and the most it may be.
void printVersus(const std::string& name, double value, const std::string& unit,
                 const std::string& peer, double peerValue, double goalRatio);
// A figure with the goal it is held to and the ratio of the two.
void printGoal(const std::string& name, double value, const std::string& unit, double goal);

// The "name value" lines that a program prints; empty when it fails.
using Figures = std::vector<std::pair<std::string, double>>;
// Where a child draws: the offscreen platform of the in-process figures, or the display of the
// person running the benchmark (Xvfb for instance), where start-up and idle mean what a user sees.
enum class Screen { Offscreen, User };
// Makes this process headless unless a platform was asked for; called before QApplication.
void chooseOffscreenPlatform();
// The environment for a child on `screen`; the user's display falls back to offscreen without one.
QProcessEnvironment childEnvironment(Screen screen);
QString platformName(Screen screen);  // "xcb", "offscreen" …
Figures runFigureProcess(const QString& program, const QStringList& arguments,
                         Screen screen = Screen::Offscreen);
double figureOf(const Figures& figures, const std::string& name);  // -1 when missing
// A program built beside the benchmark.
QString benchProgram(const QString& name);

using BenchClock = std::chrono::steady_clock;

double secondsSince(BenchClock::time_point start);
double millisecondsSince(BenchClock::time_point start);
double microsecondsSince(BenchClock::time_point start);

// Time of `run` in ms and how far the resident memory rose above where it stood, in MiB.
std::pair<double, double> timeAndPeak(const std::function<void()>& run);

// fraction 0.5 is the median, 0.95 the 95th percentile; 0 for no samples.
double percentile(std::vector<double> samples, double fraction);
inline double median(std::vector<double> samples) {
    return percentile(std::move(samples), 0.5);
}

// The most records a 16-bit record count can announce.
constexpr int kFullRecordCount = 32767;

// A full record table as a download leaves it: the header row and records of the four kinds
// in turn.
void fillFullRecordTable(RecordGridModel& table);

// Stops every timer of the window, so only the handlers a benchmark drives run.
void stopTimers(Form1& form);

void runLinkBenchmarks();
void runSerialBenchmarks();
void slowOpenLatency();  // the window while an open hangs (bench_slow_open.cpp)
void runDownloadBenchmarks();
void runDecodeBenchmarks();
void runWindowBenchmarks();
int runWindowChild(const char* role);  // the child process of the start-up figure
void runExportBenchmarks();
int runTextFileChild(const QString& charset, const QString& path);  // a first save, fresh
void runSpreadsheetBenchmarks();
int runWorkbookChild(const QString& path);  // one export in a fresh process
void runPrintBenchmarks();
void runRecordBenchmarks();                // the records as numbers: .xlsx, CSV, chart
int runRecordFileChild(const char* role);  // the child process of one file's figures
void runIdleBenchmarks(int seconds);
void runSoilBenchmarks();         // the soil model's fits
void runReportBenchmarks();       // the test report's PDF
int runReportChild(int records);  // one report in a fresh process
void runArchiveBenchmarks();      // the site archive: queries, filing, size

}  // namespace kelvora::bench
