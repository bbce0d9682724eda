#pragma once

#include <string>

namespace kelvora::bench {

// Each subject's benchmarks print their figures, one per line, "name: value unit".
void printFigure(const std::string& name, double value, const std::string& unit);

void runLinkBenchmarks();
void runSerialBenchmarks();
void runDecodeBenchmarks();
void runWindowBenchmarks();
// The window benchmarks run this program again as a child ("--window-child <role>").
int runWindowChild(const char* role);
void runExportBenchmarks();
void runSpreadsheetBenchmarks();
void runPrintBenchmarks();

}  // namespace kelvora::bench
