#pragma once

#include <memory>

#include "platform/printer.h"

class QPrinter;

namespace kelvora {

// Draws the lines with QPainter on a QPrinter in its default font, a new page when one is full.
class QtPrinter : public Printer {
public:
    QtPrinter();
    ~QtPrinter() override;
    QPrinter* qprinter() const { return printer_.get(); }

    bool setCurrentY(double twips) override;
    bool print(const QString& line) override;
    bool endDoc() override;

private:
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace kelvora
