#include "platform/qt_printer.h"

#include <QPrinter>

namespace kelvora {

QtPrinter::QtPrinter() : printer_(std::make_unique<QPrinter>()) {}
QtPrinter::~QtPrinter() = default;
bool QtPrinter::setCurrentY(double) { return false; }
bool QtPrinter::print(const QString&) { return false; }
bool QtPrinter::endDoc() { return false; }

}  // namespace kelvora
