#include "platform/qt_printer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>

#include "formats/replace_file.h"
#include "formats/write_target.h"
#include "look/twips.h"

namespace kelvora {

namespace {

// Qt's default margins put the text almost at the paper's edge; the print dialog can still
// change these, and a printer that cannot print so far out widens them.
constexpr double kMarginMillimetres = 15;
// A temporary file is private to its owner; the printout is an ordinary file.
constexpr QFile::Permissions kNewFilePermissions =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;

}  // namespace

QtPrinter::QtPrinter() = default;

QPrinter* QtPrinter::qprinter() const {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setPageMargins(QMarginsF(kMarginMillimetres, kMarginMillimetres,
                                           kMarginMillimetres, kMarginMillimetres),
                                 QPageLayout::Millimeter);
        // Names the job in the printer queue and the file Qt's dialog proposes for PDF output.
        printer_->setDocName(QStringLiteral("Kelvora"));
    }
    return printer_.get();
}

QtPrinter::~QtPrinter() {
    // A document left open (no endDoc) is still finished rather than thrown away.
    if (painter_) {
        painter_->end();
    }
}

bool QtPrinter::setCurrentY(double twips) {
    if (!std::isfinite(twips)) {
        return false;
    }
    currentYTwips_ = twips;
    return true;
}

bool QtPrinter::beginDocument() {
    pdfTarget_.clear();
    if (qprinter()->outputFormat() == QPrinter::PdfFormat &&
        !qprinter()->outputFileName().isEmpty()) {
        // Drawn beside the target and put in its place only when complete: a full disk must not
        // leave a cut-off file where a good one was.
        pdfTarget_ = qprinter()->outputFileName();
        if (const QString refusal = writeTargetRefusal(pdfTarget_); !refusal.isEmpty()) {
            error_ = refusal;
            beginFailed_ = true;
            pdfTarget_.clear();
            return false;
        }
        QTemporaryFile partial(pdfTarget_ + QStringLiteral(".XXXXXX"));
        partial.setAutoRemove(false);
        if (!partial.open()) {
            error_ = partial.errorString();
            beginFailed_ = true;
            return false;
        }
        pdfPartial_ = partial.fileName();
        qprinter()->setOutputFileName(pdfPartial_);
    }
    auto painter = std::make_unique<QPainter>();
    const bool begun = painter->begin(qprinter());
    if (!pdfTarget_.isEmpty() && !begun) {
        qprinter()->setOutputFileName(pdfTarget_);
        QFile::remove(pdfPartial_);
    }
    if (!begun) {
        error_ = QCoreApplication::translate("kelvora::Messages", "无法开始打印");
        beginFailed_ = true;
        return false;
    }
    painter_ = std::move(painter);
    pages_ = 1;
    return true;
}

bool QtPrinter::print(const QString& line) {
    if (!painter_ && !beginDocument()) {
        return false;
    }
    QPrinter* const printer = qprinter();
    const double dpi = printer->logicalDpiY();
    const QFontMetricsF metrics(painter_->font(), printer);
    const double lineHeight = metrics.lineSpacing();
    double top = currentYTwips_ * dpi / kTwipsPerInch;
    // A line that does not fit goes to the next page, unless it is already the page's first.
    if (top > 0 && top + lineHeight > printer->height()) {
        if (!printer->newPage()) {
            return false;
        }
        ++pages_;
        top = 0;
    }
    // Drawn from a point, the text is neither wrapped nor trimmed: every space counts.
    painter_->drawText(QPointF(0, top + metrics.ascent()), line);
    currentYTwips_ = (top + lineHeight) * kTwipsPerInch / dpi;
    return true;
}

bool QtPrinter::printPage(const PagePainter& paint) {
    if (painter_) {
        if (!qprinter()->newPage()) {
            return false;
        }
        ++pages_;
    } else if (!beginDocument()) {
        return false;
    }
    paint(*painter_, QRectF(0, 0, qprinter()->width(), qprinter()->height()));
    currentYTwips_ = 0;
    return true;
}

bool QtPrinter::preview(QWidget* parent, int pages, const PageAt& paint) {
    QPrintPreviewDialog dialog(qprinter(), parent);
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [pages, &paint](QPrinter* printer) {
            QPainter painter(printer);
            for (int page = 0; page < pages; ++page) {
                if (page > 0) {
                    printer->newPage();
                }
                paint(page, painter, QRectF(0, 0, printer->width(), printer->height()));
            }
        });
    dialog.exec();
    return true;
}

bool QtPrinter::endDoc() {
    currentYTwips_ = 0;
    if (!painter_) {
        // Nothing was printed, so there is no document to send, unless it could not begin.
        const bool begun = !beginFailed_;
        beginFailed_ = false;
        return begun;
    }
    error_.clear();
    const bool ended = painter_->end();
    painter_.reset();
    if (pdfTarget_.isEmpty()) {
        return ended;
    }
    return finishPdfFile(ended);
}

bool QtPrinter::finishPdfFile(bool ended) {
    qprinter()->setOutputFileName(pdfTarget_);  // the name the user chose, for the next printout
    // The PDF engine does not report failed writes; a complete file ends with its trailer.
    QFile partial(pdfPartial_);
    const qint64 size = partial.size();
    bool complete = ended && partial.open(QIODevice::ReadOnly) && size > 0 &&
                    partial.seek(std::max<qint64>(0, size - 16)) &&
                    partial.readAll().contains("%%EOF");
    partial.close();
    if (!complete) {
        error_ =
            QCoreApplication::translate("kelvora::Messages", "文件没有写完：%1").arg(pdfTarget_);
    } else if (!partial.setPermissions(QFile::exists(pdfTarget_) ? QFile::permissions(pdfTarget_)
                                                                 : kNewFilePermissions) ||
               !replaceFile(pdfPartial_, pdfTarget_)) {
        error_ =
            QCoreApplication::translate("kelvora::Messages", "无法替换文件：%1").arg(pdfTarget_);
        complete = false;
    }
    if (!complete) {
        QFile::remove(pdfPartial_);
    }
    return complete;
}

}  // namespace kelvora
