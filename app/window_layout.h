#pragma once

class QWidget;

namespace kelvora {

// A place in twips: left, top, width, height.
struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// Client area of the window, below the menu bar.
inline constexpr int kClientWidthTwips = 12780;
inline constexpr int kClientHeightTwips = 10125;

// Places any widget by twips at the logical resolution of the screen it is on.
void setGeometryTwips(QWidget& widget, const TwipRect& place);

}  // namespace kelvora
