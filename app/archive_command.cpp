#include "app/archive_command.h"

#include <QDate>
#include <QFile>

#include "app/command_line.h"
#include "archive/archive.h"
#include "archive/archive_history.h"
#include "platform/settings_store.h"
#include "visit/report_records.h"
#include "visit/report_settings.h"

namespace kelvora {

namespace {

ArchiveCommandResult refused(const QString& why) {
    return {1, {}, why};
}

}  // namespace

ArchiveCommandResult runArchiveAdd(const QString& archivePath, const QString& records,
                                   const QString& site, const QString& date, double limitOhm,
                                   const QMap<int, QString>& points) {
    QString why;
    std::optional<std::vector<report::ReportRecord>> rows =
        report::recordsFromCsvFile(records, &why);
    if (!rows) {
        return refused(why);
    }
    for (auto it = points.cbegin(); it != points.cend(); ++it) {
        if (it.key() < 1 || it.key() > int(rows->size())) {
            return refused(QStringLiteral("--point %1=%2: %3 holds records 1 to %4")
                               .arg(it.key())
                               .arg(it.value(), records)
                               .arg(rows->size()));
        }
    }
    std::unique_ptr<archive::Archive> archive = archive::Archive::open(archivePath, &why);
    if (!archive) {
        return refused(why);
    }
    // The site's own fields as last filed, or else those the report dialog remembers.
    const report::ReportSettings settings = report::loadReportSettings(*settingsStore());
    archive::VisitInput visit = archive->siteDefaults(site).value_or(archive::VisitInput{});
    if (!archive->siteId(site)) {
        visit.site = settings.site;
        visit.limitOhm = settings.limitOhm;
    }
    visit.site[report::Project] = site;
    visit.site[report::TestDate] =
        date.isEmpty() ? QDate::currentDate().toString(Qt::ISODate) : date;
    if (limitOhm > 0) {
        visit.limitOhm = limitOhm;
    }
    visit.soil = report::soilOf(*rows);
    visit.records = std::move(*rows);
    visit.points = points.toStdMap();
    visit.source = records;
    const std::optional<archive::FilingResult> result = archive->file(visit, &why);
    if (!result) {
        return refused(archivePath + QStringLiteral(": nothing filed: ") + why);
    }
    QString said = result->added ? QStringLiteral("filed %1 records for %2 on %3\n")
                                       .arg(result->readings)
                                       .arg(site, visit.site[report::TestDate])
                                 : QStringLiteral("already filed: the same records for %1 on %2\n")
                                       .arg(site, visit.site[report::TestDate]);
    if (!result->flaggedPoints.isEmpty()) {
        said +=
            QStringLiteral("flagged: %1\n").arg(result->flaggedPoints.join(QStringLiteral(", ")));
    }
    return {0, said.toUtf8(), {}};
}

ArchiveCommandResult runHistory(const QString& archivePath, const QString& site,
                                const QString& point) {
    QString why;
    std::unique_ptr<archive::Archive> archive =
        archive::Archive::open(archivePath, &why, archive::Archive::Access::ReadOnly);
    if (!archive) {
        return refused(why);
    }
    const std::optional<qint64> siteId = archive->siteId(site);
    if (!siteId) {
        return refused(QStringLiteral("no site \"%1\" in %2").arg(site, archivePath));
    }
    std::vector<archive::PointHistory> points;
    if (point.isNull()) {
        points = archive->siteHistory(*siteId);
    } else if (const std::optional<qint64> pointId = archive->pointId(*siteId, point)) {
        points.push_back(archive->pointHistory(*pointId).value_or(archive::PointHistory{}));
    } else {
        return refused(QStringLiteral("no test point \"%1\" at \"%2\"").arg(point, site));
    }
    return {0, archive::historyJson(site, archive->thresholdPercent(), points), {}};
}

ArchiveCommandResult runArchiveMerge(const QString& archivePath, const QString& other) {
    QString why;
    // The other file is looked at first, so that a refusal makes no archive of ours.
    if (!archive::Archive::open(other, &why, archive::Archive::Access::ReadOnly)) {
        return refused(why);
    }
    std::unique_ptr<archive::Archive> archive = archive::Archive::open(archivePath, &why);
    const std::optional<int> added = archive ? archive->merge(other, &why) : std::nullopt;
    if (!added) {
        return refused(why);
    }
    return {0, QStringLiteral("added %1 visits from %2\n").arg(*added).arg(other).toUtf8(), {}};
}

ArchiveCommandResult runArchiveCommand(const CommandLine& line) {
    const QString path =
        line.archiveFile.isEmpty() ? archive::defaultArchivePath() : line.archiveFile;
    if (!line.archiveAdd.isEmpty()) {
        return runArchiveAdd(path, line.archiveAdd, line.site, line.date, line.limitOhm,
                             line.points);
    }
    if (!line.history.isNull()) {
        return runHistory(path, line.history, line.historyPoint);
    }
    return runArchiveMerge(path, line.archiveMerge);
}

}  // namespace kelvora
