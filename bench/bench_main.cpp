#include <QApplication>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "bench/bench.h"

namespace kelvora::bench {

void printFigure(const std::string& name, double value, const std::string& unit) {
    std::printf("%-58s %12.3f %s\n", name.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

}  // namespace kelvora::bench

namespace {

constexpr int kDefaultIdleSeconds = 10;

int usage(const char* program) {
    std::fprintf(stderr,
                 "usage: %s [--idle-seconds N] [SUBJECT...]\n"
                 "subjects: link serial decode window export spreadsheet print records soil report "
                 "archive idle (all when "
                 "none is named)\n"
                 "The idle CPU figures are measured over N seconds (default %d, or the "
                 "KELVORA_BENCH_IDLE_SECONDS environment variable); their goals hold for 60.\n",
                 program, kDefaultIdleSeconds);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    kelvora::bench::chooseOffscreenPlatform();
    QApplication app(argc, argv);
    using namespace kelvora::bench;
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc > 2 && first == "--window-child") {
        return runWindowChild(argv[2]);
    }
    if (argc > 3 && first == "--text-child") {
        return runTextFileChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    if (argc > 2 && first == "--records-child") {
        return runRecordFileChild(argv[2]);
    }
    if (argc > 2 && first == "--report-child") {
        return runReportChild(std::atoi(argv[2]));
    }
    if (argc > 2 && first == "--workbook-child") {
        return runWorkbookChild(QString::fromLocal8Bit(argv[2]));
    }

    bool idleOk = false;
    int idleSeconds = qEnvironmentVariableIntValue("KELVORA_BENCH_IDLE_SECONDS", &idleOk);
    if (!idleOk || idleSeconds <= 0) {
        idleSeconds = kDefaultIdleSeconds;
    }
    const std::map<std::string, std::function<void()>> subjects = {
        {"link", runLinkBenchmarks},         {"serial", runSerialBenchmarks},
        {"decode", runDecodeBenchmarks},     {"window", runWindowBenchmarks},
        {"export", runExportBenchmarks},     {"spreadsheet", runSpreadsheetBenchmarks},
        {"print", runPrintBenchmarks},       {"idle", [&] { runIdleBenchmarks(idleSeconds); }},
        {"download", runDownloadBenchmarks}, {"records", runRecordBenchmarks},
        {"soil", runSoilBenchmarks},         {"report", runReportBenchmarks},
        {"archive", runArchiveBenchmarks}};
    std::vector<std::string> chosen;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--idle-seconds" && k + 1 < argc && std::atoi(argv[k + 1]) > 0) {
            idleSeconds = std::atoi(argv[++k]);
        } else if (subjects.count(arg) != 0) {
            chosen.push_back(arg);
        } else {
            return usage(argv[0]);
        }
    }
    if (chosen.empty()) {
        chosen = {"link",  "serial",  "download", "decode", "window",  "export", "spreadsheet",
                  "print", "records", "soil",     "report", "archive", "idle"};
    }
    for (const std::string& subject : chosen) {
        subjects.at(subject)();
    }
    return 0;
}
