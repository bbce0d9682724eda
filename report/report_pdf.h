#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace kelvora::report {

class ReportDocument;

// Told each page as it is drawn.
using PageProgress = std::function<void(int page)>;

// The report as an A4 PDF: searchable text, vector charts.
QByteArray reportPdf(const ReportDocument& document, const PageProgress& progress = {});

// Writes it to `path` through a temporary file that replaces the old one only when complete.
// Returns the reason of a failure, empty on success.
QString writeReportPdf(const QString& path, const ReportDocument& document,
                       const PageProgress& progress = {});

}  // namespace kelvora::report
