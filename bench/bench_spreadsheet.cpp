#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/bench.h"
#include "bench/process_stats.h"
#include "formats/compound_file.h"
#include "formats/le_bytes.h"
#include "formats/xls_workbook.h"

namespace kelvora::bench {

namespace {

using Clock = BenchClock;

// The largest record table, at its worst: the header row and 32767 records whose texts are all
// distinct and mostly carry Greek units (two bytes a character in the file).
std::vector<QStringList> fullRecordTable() {
    std::vector<QStringList> table;
    table.push_back({QStringLiteral("NO."), QStringLiteral("R"), QString::fromUtf8("ρ"),
                     QString::fromUtf8("ρLenght"), QStringLiteral("Rc"), QStringLiteral("Rp"),
                     QStringLiteral("I"), QStringLiteral("V")});
    for (int k = 1; k <= 32767; ++k) {
        table.push_back({QString::number(k), QString::fromUtf8("%1.%2Ω").arg(k).arg(k % 100),
                         QString::fromUtf8("%1.%2KΩm").arg(k).arg(k % 10),
                         QStringLiteral("%1m").arg(k), QString::fromUtf8("%1Ω").arg(k * 3),
                         QString::fromUtf8("%1Ω").arg(k * 7),
                         QStringLiteral("%1.%2mA").arg(k).arg(k % 9),
                         QStringLiteral("%1.%2V").arg(k).arg(k % 7)});
    }
    return table;
}

// Resets the peak resident size to the current one, so the peak after it is that of what follows.
void resetPeakMemory() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly)) {
        clearRefs.write("5");
    }
}

void exportTable(const std::vector<QStringList>& table, const QString& path) {
    auto book = makeXlsWorkbook();
    book->newWorkbook();
    // The export's order: column by column, alignment before value.
    for (int c = 0; c < int(table.front().size()); ++c) {
        for (int r = 0; r < int(table.size()); ++r) {
            book->setHorizontalAlignment(r + 1, c + 1, kXlCenter);
            book->setValue(r + 1, c + 1, table[r][c]);
        }
    }
    book->saveAs(path);
    book->close();
    book->quit();
}

// The whole export in a fresh process beside libxlsxwriter writing the same cells as .xlsx in
// its constant-memory mode, also in a fresh process; runs interleaved.
void benchmarkAgainstFloor(const QTemporaryDir& dir) {
    const QString floorProgram = benchProgram(QStringLiteral("kelvora_xlsx_floor"));
    std::vector<double> time, memory, floorTime, floorMemory;
    for (int run = 0; run < 5; ++run) {
        const Figures ours = runFigureProcess(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--workbook-child"), dir.filePath(QStringLiteral("fresh.xls"))});
        const Figures floor =
            runFigureProcess(floorProgram, {dir.filePath(QStringLiteral("floor.xlsx"))});
        if (figureOf(ours, "time_ms") >= 0) {
            time.push_back(figureOf(ours, "time_ms"));
            memory.push_back(figureOf(ours, "writer_kb") / 1024.0);
        }
        if (figureOf(floor, "time_ms") >= 0) {
            floorTime.push_back(figureOf(floor, "time_ms"));
            floorMemory.push_back(figureOf(floor, "writer_kb") / 1024.0);
        }
    }
    if (floorTime.empty()) {
        printFigure("spreadsheet 32768x8: libxlsxwriter floor not built or failed", -1, "");
    }
    printVersus("spreadsheet 32768x8: whole export in a fresh process (median)", median(time), "ms",
                "libxlsxwriter constant-memory .xlsx", median(floorTime), 1.0);
    printGoal("spreadsheet 32768x8: writer's peak memory over the table (median)", median(memory),
              "MiB", 8.0);
    printFigure("    libxlsxwriter constant-memory .xlsx, same measure", median(floorMemory),
                "MiB");
}

}  // namespace

int runWorkbookChild(const QString& path) {
    const std::vector<QStringList> table = fullRecordTable();
    resetPeakMemory();
    const long before = statusKilobytes("VmRSS");
    const auto start = Clock::now();
    exportTable(table, path);
    std::printf("time_ms %.3f\nwriter_kb %ld\n", millisecondsSince(start),
                statusKilobytes("VmHWM") - before);
    return 0;
}

void runSpreadsheetBenchmarks() {
    QTemporaryDir dir;
    benchmarkAgainstFloor(dir);
    const QString path = dir.filePath(QStringLiteral("records.xls"));
    const std::vector<QStringList> table = fullRecordTable();
    const int rows = int(table.size());
    const int columns = int(table.front().size());

    std::vector<double> fill, save, total;
    for (int round = 0; round < 5; ++round) {
        const auto start = Clock::now();
        auto book = makeXlsWorkbook();
        book->newWorkbook();
        // The export's order: column by column, alignment before value.
        for (int c = 0; c < columns; ++c) {
            for (int r = 0; r < rows; ++r) {
                book->setHorizontalAlignment(r + 1, c + 1, kXlCenter);
                book->setValue(r + 1, c + 1, table[r][c]);
            }
        }
        const auto filled = Clock::now();
        book->saveAs(path);
        book->close();
        book->quit();
        fill.push_back(std::chrono::duration<double, std::milli>(filled - start).count());
        save.push_back(millisecondsSince(filled));
        total.push_back(millisecondsSince(start));
    }
    printFigure("spreadsheet 32768x8: fill cells through the seam (median)", median(fill), "ms");
    printFigure("spreadsheet 32768x8: encode and save (median)", median(save), "ms");
    printFigure("spreadsheet 32768x8: whole export (median)", median(total), "ms");
    printFigure("spreadsheet 32768x8: file size", QFileInfo(path).size() / 1e6, "MB");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray header = file.read(cfb::kSectorSize);
        printFigure("spreadsheet 32768x8: FAT sectors", readU32(header, 0x2C), "");
        printFigure("spreadsheet 32768x8: DIFAT sectors", readU32(header, 0x48), "");
    }
}

}  // namespace kelvora::bench
