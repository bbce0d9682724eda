#include "report/report_pdf.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPainter>
#include <QPdfWriter>

#include "formats/text_file.h"
#include "report/report_document.h"

namespace kelvora::report {

namespace {

constexpr int kResolution = 600;  // dpi of the page's coordinates; text and lines stay vectors

}  // namespace

QByteArray reportPdf(const ReportDocument& document, const PageProgress& progress) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(QCoreApplication::translate("kelvora::report", "接地电阻测试报告"));
        writer.setCreator(QStringLiteral("Kelvora"));
        QPainter painter(&writer);
        if (!painter.isActive()) {
            return {};
        }
        for (int page = 0; page < document.pageCount(); ++page) {
            if (page > 0 && !writer.newPage()) {
                return {};
            }
            document.paintPage(page, painter, QRectF(0, 0, writer.width(), writer.height()));
            if (progress) {
                progress(page + 1);
            }
        }
    }
    return bytes;
}

QString writeReportPdf(const QString& path, const ReportDocument& document,
                       const PageProgress& progress) {
    const QByteArray bytes = reportPdf(document, progress);
    return bytes.isEmpty() ? QCoreApplication::translate("kelvora::report", "无法生成 PDF")
                           : writeFileSafely(path, bytes);
}

}  // namespace kelvora::report
