#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

#include "app/form1.h"
#include "bench/bench.h"
#include "bench/save_window.h"
#include "files/window_picture.h"
#include "formats/xls_workbook.h"
#include "modbus/port_map.h"
#include "platform/real_seams.h"
#include "platform/record_grid.h"

namespace kelvora::bench {

namespace {

using Clock = BenchClock;

BenchWindow makeWindow(const QString& folder, const QByteArray& charset) {
    return makeSaveWindow(folder, charset);
}

// A full table, as a download fills it.
void fillFullTable(Form1& form) {
    fillFullRecordTable(form.grid->cells());
    form.recordTotal = kFullRecordCount;
}

// Runs one confirmed Save on the record tab `runs` times; the median in ms.
double timeRecordSave(BenchWindow& window, const QString& path, int type, int runs) {
    window.form->liveView = false;
    window.dialog->path = path;
    window.dialog->type = type;
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        window.form->Command2_Click();
        samples.push_back(millisecondsSince(start));
    }
    return median(samples);
}

// The record text file in each character set, each save the first of a fresh process, beside
// fprintf writing the same bytes (UTF-8) in a fresh process; runs interleaved.
void benchmarkFirstTextSave(const QTemporaryDir& dir) {
    constexpr int kRuns = 5;
    const QString floorPath = dir.filePath(QStringLiteral("floor.txt"));
    std::vector<double> floor;
    std::map<QString, std::vector<double>> saves;
    for (int run = 0; run < kRuns; ++run) {
        for (const QString charset : {QStringLiteral("UTF-8"), QStringLiteral("GBK")}) {
            const double ms = figureOf(
                runFigureProcess(QCoreApplication::applicationFilePath(),
                                 {QStringLiteral("--text-child"), charset,
                                  dir.filePath(QStringLiteral("first-%1.txt").arg(charset))}),
                "time_ms");
            if (ms >= 0) {
                saves[charset].push_back(ms);
            }
        }
        const double ms = figureOf(
            runFigureProcess(benchProgram(QStringLiteral("kelvora_text_floor")), {floorPath}),
            "time_ms");
        if (ms >= 0) {
            floor.push_back(ms);
        }
    }
    QFile ours(dir.filePath(QStringLiteral("first-UTF-8.txt")));
    QFile theirs(floorPath);
    const bool same = ours.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly) &&
                      ours.readAll() == theirs.readAll();
    printFigure("record text file: the floor wrote the same bytes (1 yes, 0 no)", same ? 1 : 0, "");
    for (const auto& [charset, samples] : saves) {
        printVersus("record text file, 32767 records, first save in a fresh process, " +
                        charset.toStdString(),
                    median(samples), "ms", "fprintf + fsync + rename of the UTF-8 bytes",
                    median(floor), 1.5);
    }
}

}  // namespace

int runTextFileChild(const QString& charset, const QString& path) {
    QTemporaryDir dir;
    BenchWindow window = makeWindow(dir.filePath(QStringLiteral("Kelvora")), charset.toLatin1());
    fillFullTable(*window.form);
    std::printf("time_ms %.3f\n", timeRecordSave(window, path, 1, 1));
    return 0;
}

void runExportBenchmarks() {
    QTemporaryDir dir;
    benchmarkFirstTextSave(dir);
    for (const char* charset : {"UTF-8", "GBK"}) {
        BenchWindow window = makeWindow(dir.filePath(QStringLiteral("Kelvora")), charset);
        fillFullTable(*window.form);
        const QString path = dir.filePath(QStringLiteral("records-%1.txt").arg(charset));
        const double ms = timeRecordSave(window, path, 1, 5);
        printFigure(std::string("record text file, 32767 records, ") + charset, ms, "ms");
        printFigure(std::string("record text file size, ") + charset,
                    double(QFileInfo(path).size()) / 1024.0, "KiB");
    }

    BenchWindow window = makeWindow(dir.filePath(QStringLiteral("Kelvora")), "UTF-8");
    fillFullTable(*window.form);
    const QString workbook = dir.filePath(QStringLiteral("records.xls"));
    printFigure("workbook through SaveSpreadsheet, 32767 records",
                timeRecordSave(window, workbook, 2, 3), "ms");
    printFigure("workbook size", double(QFileInfo(workbook).size()) / 1024.0, "KiB");

    // The cell-by-cell automation export makes four out-of-process calls a cell (two cell
    // references, the alignment and the value) for 32768 rows x 8 columns; a call to a
    // spreadsheet application in another process typically costs 0.1 to 1 ms.
    const double calls = 4.0 * (kFullRecordCount + 1) * 8;
    printFigure("cell-by-cell automation export, estimate at 0.1 ms a call", calls * 0.1 / 1000,
                "s");
    printFigure("cell-by-cell automation export, estimate at 1 ms a call", calls * 1.0 / 1000, "s");

    window.form->resize(800, 600);
    const auto grabStart = Clock::now();
    const QImage picture = window.form->grab().toImage();
    printFigure("window picture taken", millisecondsSince(grabStart), "ms");
    const auto jpegStart = Clock::now();
    writePicture(dir.filePath(QStringLiteral("window.jpg")), picture);
    printFigure("window picture written as JPEG", millisecondsSince(jpegStart), "ms");
}

}  // namespace kelvora::bench
