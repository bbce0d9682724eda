#include "platform/qt_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "app/twips.h"

namespace kelvora {

namespace {

// Qt's default margins put the text almost at the paper's edge; the print dialog can still
// change these, and a printer that cannot print so far out widens them.
constexpr double kMarginMillimetres = 15;

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
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(qprinter())) {
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

bool QtPrinter::endDoc() {
    currentYTwips_ = 0;
    if (!painter_) {
        return true;  // nothing was printed, so there is no document to send
    }
    const bool ended = painter_->end();
    painter_.reset();
    return ended;
}

}  // namespace kelvora
