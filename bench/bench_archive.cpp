#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "app/archive_session.h"
#include "app/archive_window.h"
#include "app/form1.h"
#include "archive/archive.h"
#include "bench/bench.h"
#include "bench/save_window.h"

namespace kelvora::bench {

namespace {

constexpr int kSites = 1000;
constexpr int kPoints = 20;
constexpr int kVisits = 20;

QString siteName(int site) {
    return QStringLiteral("变电站 %1").arg(site, 4, 10, QLatin1Char('0'));
}

archive::VisitInput visitOf(int site, int visit, int records) {
    archive::VisitInput input;
    input.site[report::Project] = siteName(site);
    input.site[report::Location] = QStringLiteral("基准测试");
    input.site[report::TestDate] = QDate(2005 + visit, 4, 1).toString(Qt::ISODate);
    input.site[report::Weather] = QStringLiteral("晴");
    input.source = QStringLiteral("download");
    for (int k = 1; k <= records; ++k) {
        report::ReportRecord record;
        record.number = k;
        record.missing = false;
        record.mode = MeasuringMode::EarthResistance;
        const double r = 0.5 + ((k * 37 + site * 11 + visit * 13) % 600) / 100.0;
        record.texts[0] = QString::number(r, 'f', 2) + QStringLiteral("Ω");
        record.numbers[0] = r;
        record.texts[3] = QStringLiteral("1.60KΩ");
        record.numbers[3] = 1600;
        record.texts[4] = QStringLiteral("2.40KΩ");
        record.numbers[4] = 2400;
        input.records.push_back(record);
        if (k <= kPoints) {
            input.points[k] = QStringLiteral("P%1").arg(k);
        }
    }
    return input;
}

}  // namespace

void runArchiveBenchmarks() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archive.sqlite"));
    QString error;
    BenchClock::time_point start = BenchClock::now();
    {
        std::unique_ptr<archive::Archive> archive = archive::Archive::open(path, &error);
        for (int site = 0; archive && site < kSites; ++site) {
            std::vector<archive::VisitInput> visits;
            for (int visit = 0; visit < kVisits; ++visit) {
                visits.push_back(visitOf(site, visit, kPoints));
            }
            if (!archive->fileAll(visits, &error)) {
                break;
            }
        }
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "archive: %s\n", qPrintable(error));
        return;
    }
    printFigure("archive: building 1000 sites x 20 points x 20 visits", secondsSince(start), "s");
    const qint64 readings = qint64(kSites) * kPoints * kVisits;
    printGoal("archive: file size per reading", double(QFileInfo(path).size()) / double(readings),
              "bytes", 200);

    start = BenchClock::now();
    std::unique_ptr<archive::Archive> archive = archive::Archive::open(path, &error);
    const size_t sites = archive ? archive->sites().size() : 0;
    printGoal("archive: opening and listing " + std::to_string(sites) + " sites",
              secondsSince(start), "s", 0.5);

    {
        // What the user waits for at 档案…: the window shown with its site list.
        BenchWindow window = makeSaveWindow(QString(), QByteArrayLiteral("UTF-8"));
        window.form->archiveSession->setPath(path);
        start = BenchClock::now();
        window.form->archiveSession->showWindow();
        QCoreApplication::processEvents();
        printGoal("archive: opening the window on it", secondsSince(start), "s", 0.5);
    }

    std::vector<double> pointMs;
    std::vector<double> siteMs;
    for (int k = 0; k < 20; ++k) {
        const qint64 site = archive->siteId(siteName(k * 47 % kSites)).value_or(0);
        start = BenchClock::now();
        archive->pointHistory(archive->pointId(site, QStringLiteral("P7")).value_or(0));
        pointMs.push_back(millisecondsSince(start));
        start = BenchClock::now();
        archive->siteHistory(site);
        siteMs.push_back(millisecondsSince(start));
    }
    printGoal("archive: a point's history (median)", median(pointMs), "ms", 20);
    printGoal("archive: a site's summary (median)", median(siteMs), "ms", 50);

    const QString kelvora = benchProgram(QStringLiteral("../kelvora"));
    if (QFileInfo::exists(kelvora)) {
        std::vector<double> runs;
        for (int k = 0; k < 3; ++k) {
            QProcess child;
            start = BenchClock::now();
            child.start(kelvora, {QStringLiteral("--history"), siteName(500),
                                  QStringLiteral("--archive"), path});
            child.waitForFinished(60000);
            runs.push_back(secondsSince(start));
            if (child.exitCode() != 0) {
                std::fprintf(stderr, "archive: --history failed: %s\n",
                             child.readAllStandardError().constData());
                break;
            }
        }
        printGoal("archive: --history of a site, whole process (median)", median(runs), "s", 0.3);
    }

    const archive::VisitInput large = visitOf(0, kVisits, kFullRecordCount);
    start = BenchClock::now();
    const std::optional<archive::FilingResult> filed = archive->file(large, &error);
    printGoal("archive: filing a visit of 32767 records", secondsSince(start), "s", 2);
    if (!filed) {
        std::fprintf(stderr, "archive: filing failed: %s\n", qPrintable(error));
    }
}

}  // namespace kelvora::bench
