#include "app/report_command.h"

#include <QDate>

#include "app/report_target.h"
#include "formats/text_file.h"

#include "platform/settings_store.h"
#include "report/report_document.h"
#include "report/report_pdf.h"
#include "visit/report_records.h"
#include "visit/report_settings.h"

namespace kelvora {

int runReportCommand(const QString& records, const QString& pdf, double limitOhm, QString* error) {
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
