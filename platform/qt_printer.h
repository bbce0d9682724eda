#pragma once

#include <QString>
#include <memory>

#include "seams/printer.h"

class QPainter;
class QPrinter;

namespace kelvora {

// Draws the lines with QPainter on a QPrinter in the painter's default font, one under the
// other from the top of the printable area, and goes on on a new page when one is full. The
// painter begins with the first line, so the print dialog can still change the printer until
// then. The QPrinter is made when first needed, since it loads the system's printing libraries.
class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;
    QPrinter* qprinter() const;

    bool setCurrentY(double twips) override;
    bool print(const QString& line) override;
    bool printPage(const PagePainter& paint) override;
    bool preview(QWidget* parent, int pages, const PageAt& paint) override;
    bool endDoc() override;
    QString lastError() const override { return error_; }

    // Pages of the document being printed, or of the last one ended; 0 before any line.
    int pageCount() const { return pages_; }

private:
    bool beginDocument();
    bool finishPdfFile(bool ended);

    mutable std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    double currentYTwips_ = 0;
    int pages_ = 0;
    QString pdfTarget_;  // the file a PDF printout replaces once it is complete
    QString pdfPartial_;
    QString error_;
    bool beginFailed_ = false;
};

}  // namespace kelvora
