#pragma once

#include <QRect>

namespace tevo {

// The window was drawn in twips; Qt works in logical pixels and scales those for high-DPI
// screens by itself. Every place and size of the design divides evenly by 15.
inline constexpr int kTwipsPerPixel = 15;

constexpr int pixelsFromTwips(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr QRect rectFromTwips(int left, int top, int width, int height)
{
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
                 pixelsFromTwips(height));
}

} // namespace tevo
