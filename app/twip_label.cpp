#include "app/twip_label.h"

#include "look/twips.h"

namespace kelvora {

TwipLabel::TwipLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {}

void TwipLabel::setLeftTwips(int twips) {
    left_ = twips;
    applyGeometry();
}

void TwipLabel::setTopTwips(int twips) {
    top_ = twips;
    applyGeometry();
}

void TwipLabel::setGeometryTwips(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    applyGeometry();
}

void TwipLabel::applyGeometry() {
    const double dpi = logicalDpiX();
    setGeometry(twipsToPixels(left_, dpi), twipsToPixels(top_, dpi), twipsToPixels(width_, dpi),
                twipsToPixels(height_, dpi));
}

}  // namespace kelvora
