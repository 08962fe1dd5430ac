#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace tevo {

// Reads a picture file (JPEG, BMP, PNG, ...) for the banner or the background. The format is
// taken from the content, not the name, so "gjvw.JPG" holding a bitmap still loads. Pictures
// larger than kMaxPicturePixels are refused before they are decoded, so a damaged or hostile
// file cannot exhaust memory. Returns nothing when the file is missing, not a picture, too
// large or unreadable.
inline constexpr qint64 kMaxPicturePixels = 50'000'000;

// How a picture is shown in an area of `size` device pixels: stretched to fill it, or at its
// own size from the top left corner, cut off at the area's edges. Of a picture with more than
// four times the area's pixels no more is decoded than can be seen there: a stretched one at
// most at the area's size (a JPEG is then decoded scaled down, which is quick), of one shown
// at its own size only the part inside the area. Any other picture, and any picture when the
// area is empty, is read whole, as it is.
struct PictureArea
{
    enum class Fit
    {
        Stretched,
        TopLeft
    };
    QSize size;
    Fit fit = Fit::Stretched;
};

std::optional<QImage> readPicture(const QString& file, const PictureArea& area = {});

} // namespace tevo
