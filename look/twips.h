#pragma once

#include <cmath>

namespace kelvora {

constexpr int kTwipsPerInch = 1440;

// Twips to device-independent pixels at the given logical resolution (96 dpi: 15 twips a pixel).
inline int twipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

inline int pixelsToTwips(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi));
}

// Point sizes are resolution independent; kept here so fonts and geometry read alike.
inline double twipsToPoints(int twips) {
    return twips / 20.0;
}

}  // namespace kelvora
