#pragma once

#include <QString>
#include <functional>

class QPainter;
class QRectF;

class QWidget;

namespace kelvora {

// The printer as the print command sees it: lines of text, one after another.
class Printer {
public:
    virtual ~Printer() = default;
    // Vertical position of the next line, in twips below the top of the printable area.
    virtual bool setCurrentY(double twips) = 0;
    // Prints one line at the start of a new line; runs of spaces are kept as they are.
    virtual bool print(const QString& line) = 0;
    // Draws a page of its own (a chart) on a new page, the page's printable area given in the
    // painter's coordinates. False when this printer can only print lines.
    using PagePainter = std::function<void(QPainter& painter, const QRectF& page)>;
    virtual bool printPage(const PagePainter& paint) {
        (void)paint;
        return false;
    }
    // Shows `pages` pages, each drawn by `paint` into the page's printable area, in the
    // toolkit's print preview, from which the user may print them. False when it cannot.
    using PageAt = std::function<void(int page, QPainter& painter, const QRectF& area)>;
    virtual bool preview(QWidget* parent, int pages, const PageAt& paint) {
        (void)parent;
        (void)pages;
        (void)paint;
        return false;
    }
    // Ends the document and sends it to the printer; false when it did not get there whole.
    virtual bool endDoc() = 0;
    // Why the last endDoc failed.
    virtual QString lastError() const { return {}; }
};

}  // namespace kelvora
