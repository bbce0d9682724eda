#include "app/report_command.h"

#include <QDate>
#include <QFileInfo>

#include "app/report_target.h"
#include "archive/archive.h"
#include "archive/report_history.h"
#include "formats/text_file.h"

#include "platform/settings_store.h"
#include "report/report_document.h"
#include "report/report_pdf.h"
#include "visit/report_records.h"
#include "visit/report_settings.h"

namespace kelvora {

namespace {

// The site's fields as last filed and the previous values of its test points, the records
// belonging to the points they belonged to in its latest visit. An archive not made yet holds
// no site; one that cannot be read is an error.
bool addArchivedSite(report::ReportInput& input, const QString& site, const QString& path,
                     bool limitGiven, QString* error) {
    input.site[report::Project] = site;
    if (!QFileInfo::exists(path)) {
        return true;
    }
    std::unique_ptr<archive::Archive> archive =
        archive::Archive::open(path, error, archive::Archive::Access::ReadOnly);
    if (!archive) {
        return false;
    }
    const std::optional<qint64> siteId = archive->siteId(site);
    if (!siteId) {
        return true;
    }
    if (const std::optional<archive::VisitInput> defaults = archive->siteDefaults(site)) {
        for (int f = 0; f < report::kSiteFieldCount; ++f) {
            if (f != report::TestDate) {
                input.site[size_t(f)] = defaults->site[size_t(f)];
            }
        }
        input.limitOhm = limitGiven ? input.limitOhm : defaults->limitOhm;
    }
    input.history = archive::reportHistory(*archive, input, archive->lastPointsOfRecords(*siteId));
    return true;
}

}  // namespace

int runReportCommand(const QString& records, const QString& pdf, double limitOhm, QString* error,
                     const QString& site, const QString& archivePath) {
    if (const QString refusal = reportTargetRefusal(records, pdf); !refusal.isEmpty()) {
        *error = pdf + QStringLiteral(": ") + refusal;
        return 1;
    }
    std::optional<std::vector<report::ReportRecord>> rows =
        report::recordsFromCsvFile(records, error);
    if (!rows) {
        return 1;
    }
    const report::ReportSettings settings = report::loadReportSettings(*settingsStore());
    report::ReportInput input;
    input.site = settings.site;
    input.site[report::TestDate] = QDate::currentDate().toString(Qt::ISODate);
    input.limitOhm = limitOhm > 0 ? limitOhm : settings.limitOhm;
    input.soil = report::soilOf(*rows);
    input.records = std::move(*rows);
    input.madeAt = QDateTime::currentDateTime();
    input.version = QStringLiteral(KELVORA_VERSION);
    if (!site.isEmpty() &&
        !addArchivedSite(input, site,
                         archivePath.isEmpty() ? archive::defaultArchivePath() : archivePath,
                         limitOhm > 0, error)) {
        return 1;
    }
    const QByteArray document = report::reportPdf(report::ReportDocument(std::move(input)));
    const QString failure = document.isEmpty() ? QStringLiteral("the PDF could not be made")
                                               : writeFileSafely(pdf, document);
    if (!failure.isEmpty()) {
        *error = pdf + QStringLiteral(": cannot write it: ") + failure;
        return 1;
    }
    return 0;
}

}  // namespace kelvora
