#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace kelvora {
class Form1;
class RecordGridModel;
}  // namespace kelvora

namespace kelvora::bench {

// Each subject's benchmarks print their figures, one per line, "name: value unit".
void printFigure(const std::string& name, double value, const std::string& unit);

using BenchClock = std::chrono::steady_clock;

double secondsSince(BenchClock::time_point start);
double millisecondsSince(BenchClock::time_point start);
double microsecondsSince(BenchClock::time_point start);

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
void runDownloadBenchmarks();
void runDecodeBenchmarks();
void runWindowBenchmarks();
int runWindowChild(const char* role);  // the child process of the start-up figure
void runExportBenchmarks();
void runSpreadsheetBenchmarks();
void runPrintBenchmarks();
void runRecordBenchmarks();                // the records as numbers: .xlsx, CSV, chart
int runRecordFileChild(const char* role);  // the child process of one file's figures

}  // namespace kelvora::bench
