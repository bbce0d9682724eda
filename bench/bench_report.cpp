#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "bench/bench.h"
#include "report/report_document.h"
#include "report/report_pdf.h"

namespace kelvora::bench {

namespace {

constexpr int kSizes[] = {100, 1000, kFullRecordCount};

report::ReportInput earthResistances(int count) {
    report::ReportInput input;
    input.site[report::Project] = QStringLiteral("基准测试");
    for (int k = 1; k <= count; ++k) {
        report::ReportRecord record;
        record.number = k;
        record.missing = false;
        record.mode = MeasuringMode::EarthResistance;
        const double r = 1 + (k * 37 % 800) / 100.0;
        record.texts[0] = QString::number(r, 'f', 2) + QStringLiteral("Ω");
        record.numbers[0] = r;
        record.texts[3] = QStringLiteral("1.60KΩ");
        record.texts[4] = QStringLiteral("2.40KΩ");
        input.records.push_back(record);
    }
    input.madeAt = QDateTime::currentDateTime();
    input.version = QStringLiteral("bench");
    return input;
}

}  // namespace

// One report in a process of its own, so the peak is this report's alone.
int runReportChild(int records) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    int pages = 0;
    const auto [ms, peak] = timeAndPeak([&] {
        const report::ReportDocument document(earthResistances(records));
        pages = document.pageCount();
        report::writeReportPdf(path, document);
    });
    const std::string name = "report: " + std::to_string(records) + " earth-resistance records";
    if (records == 1000) {
        printGoal(name + ", time", ms, "ms", 1000);
    } else if (records == kFullRecordCount) {
        printGoal(name + ", time", ms, "ms", 20000);
        printGoal(name + ", peak memory rise", peak, "MiB", 300);
    } else {
        printFigure(name + ", time", ms, "ms");
    }
    printFigure(name + ", pages", pages, "");
    return 0;
}

void runReportBenchmarks() {
    for (const int records : kSizes) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--report-child"), QString::number(records)});
        child.waitForFinished(300000);
        std::fputs(child.readAllStandardOutput().constData(), stdout);
    }
}

}  // namespace kelvora::bench
