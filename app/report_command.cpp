#include "app/report_command.h"

#include <QDate>
#include <QFile>

#include "platform/settings_store.h"
#include "report/report_document.h"
#include "report/report_pdf.h"
#include "visit/report_records.h"
#include "visit/report_settings.h"

namespace kelvora {

int runReportCommand(const QString& records, const QString& pdf, double limitOhm, QString* error) {
    QFile file(records);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = records + QStringLiteral(": cannot read it: ") + file.errorString();
        return 1;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = records + QStringLiteral(": cannot read it: ") + file.errorString();
        return 1;
    }
    QString why;
    std::optional<std::vector<report::ReportRecord>> rows = report::recordsFromCsv(bytes, &why);
    if (!rows) {
        *error = records + QStringLiteral(": ") + why;
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
    const QString failure = report::writeReportPdf(pdf, report::ReportDocument(std::move(input)));
    if (!failure.isEmpty()) {
        *error = pdf + QStringLiteral(": cannot write it: ") + failure;
        return 1;
    }
    return 0;
}

}  // namespace kelvora
