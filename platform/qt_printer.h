#pragma once

#include <memory>

#include "platform/printer.h"

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
    bool endDoc() override;

    // Pages of the document being printed, or of the last one ended; 0 before any line.
    int pageCount() const { return pages_; }

private:
    bool beginDocument();

    mutable std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    double currentYTwips_ = 0;
    int pages_ = 0;
};

}  // namespace kelvora
