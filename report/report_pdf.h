#pragma once

#include <QByteArray>
#include <QString>

namespace kelvora::report {

class ReportDocument;

// The report as an A4 PDF: searchable text, vector charts.
QByteArray reportPdf(const ReportDocument& document);

// Writes it to `path` through a temporary file that replaces the old one only when complete.
// Returns the reason of a failure, empty on success.
QString writeReportPdf(const QString& path, const ReportDocument& document);

}  // namespace kelvora::report
