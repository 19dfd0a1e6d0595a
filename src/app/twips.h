#pragma once

#include <QRect>
#include <QtMath>

namespace zelvo::app {

// Positions and sizes are designed in twips: 1440 per inch, 15 per device-independent pixel.
inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(int twips) {
    return qRound(double(twips) / kTwipsPerPixel);
}
inline int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

}  // namespace zelvo::app
