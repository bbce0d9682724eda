#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/record_chart_window.h"
#include "bench/bench.h"
#include "bench/save_window.h"
#include "formats/xls_workbook.h"
#include "formats/xlsxwriter_calls.h"
#include "modbus/port_map.h"
#include "platform/real_seams.h"
#include "platform/record_grid.h"

namespace kelvora::bench {

namespace {

using Clock = BenchClock;

// The numbers of the full table that fillFullRecordTable writes, record by record.
void fillFullRecordModel(RecordModel& records) {
    const Reading kinds[] = {
        {{0x04, 0xD2}, 0x22, 0, {0x00, 0xC8}, {0x01, 0x2C}, {}},            // 12.34KΩ
        {{0x04, 0xD2}, 0x31, 0, {0x00, 0xC8}, {0x01, 0x2C}, {0x00, 0x32}},  // 123.4Ωm at 5.0m
        {{0x00, 0x7B}, 0x71, 0, {}, {}, {}},                                // 12.3mA
        {{0x01, 0xF4}, 0x51, 0, {}, {}, {}},                                // 50.0V
    };
    for (int k = 1; k <= kFullRecordCount; ++k) {
        records.take(k, kinds[k % 4]);
    }
}

// A window whose table and model hold the full download.
BenchWindow makeFullWindow(const QString& folder) {
    BenchWindow window = makeSaveWindow(folder);
    fillFullRecordTable(window.form->grid->cells());
    window.form->recordTotal = kFullRecordCount;
    window.form->liveView = false;
    return window;
}

const struct {
    const char* role;
    int type;
    const char* name;
} kFileTypes[] = {{"xls", 2, ".xls writer"},
                  {"xlsx", 4, ".xlsx (libxlsxwriter, constant memory)"},
                  {"csv", 3, "CSV"}};

}  // namespace

// One save of the full table in a process of its own, so the memory figure is not hidden by
// what earlier benchmarks left in the allocator.
int runRecordFileChild(const char* role) {
    QTemporaryDir dir;
    BenchWindow window = makeFullWindow(dir.filePath(QStringLiteral("Kelvora")));
    fillFullRecordModel(window.form->records);
    for (const auto& type : kFileTypes) {
        if (std::string(role) != type.role) {
            continue;
        }
        window.dialog->type = type.type;
        window.dialog->path = dir.filePath(QStringLiteral("records.") + QString::fromUtf8(role));
        Form1& form = *window.form;
        if (std::string(role) == "xlsx") {
            // The library comes in with the first .xlsx; its cost apart from the writing.
            const auto [loadMs, loadPeak] = timeAndPeak([] { xlsxWriterCalls(nullptr); });
            printFigure("libxlsxwriter loaded at the first .xlsx: time", loadMs, "ms");
            printFigure("libxlsxwriter loaded at the first .xlsx: memory rise", loadPeak, "MiB");
        }
        const auto [ms, peak] = timeAndPeak([&form] { form.Command2_Click(); });
        const std::string name = std::string("32767 records as ") + type.name;
        printFigure(name + ": time", ms, "ms");
        printFigure(name + ": peak memory rise", peak, "MiB");
        printFigure(name + ": size", double(QFileInfo(window.dialog->path).size()) / 1024.0, "KiB");
        return 0;
    }
    return 2;
}

void runRecordBenchmarks() {
    QTemporaryDir dir;
    BenchWindow window = makeFullWindow(dir.filePath(QStringLiteral("Kelvora")));
    Form1& form = *window.form;
    const auto modelStart = Clock::now();
    fillFullRecordModel(form.records);
    printFigure("record model, 32767 records taken", millisecondsSince(modelStart), "ms");

    for (const auto& type : kFileTypes) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--records-child"), QString::fromUtf8(type.role)});
        child.waitForFinished(120000);
        std::fputs(child.readAllStandardOutput().constData(), stdout);
    }

    // From the menu item to a chart drawn in the window's buffer.
    const auto chartStart = Clock::now();
    form.mnuchart->trigger();
    form.chartWindow->grab();
    printFigure("32767 records: menu item to drawn chart (first)", millisecondsSince(chartStart),
                "ms");
    form.chartWindow->hide();
    const auto againStart = Clock::now();
    form.mnuchart->trigger();
    form.chartWindow->grab();
    printFigure("32767 records: menu item to drawn chart (again)", millisecondsSince(againStart),
                "ms");
}

}  // namespace kelvora::bench
