#include <QApplication>
#include <cstdio>
#include <string>

#include "bench/bench.h"

namespace kelvora::bench {

void printFigure(const std::string& name, double value, const std::string& unit) {
    std::printf("%-58s %12.3f %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

}  // namespace kelvora::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    using namespace kelvora::bench;
    if (argc > 2 && std::string(argv[1]) == "--window-child") {
        return runWindowChild(argv[2]);
    }
    if (argc > 2 && std::string(argv[1]) == "--records-child") {
        return runRecordFileChild(argv[2]);
    }
    runLinkBenchmarks();
    runSerialBenchmarks();
    runDownloadBenchmarks();
    runDecodeBenchmarks();
    runWindowBenchmarks();
    runExportBenchmarks();
    runSpreadsheetBenchmarks();
    runPrintBenchmarks();
    runRecordBenchmarks();
    return 0;
}
