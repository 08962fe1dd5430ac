#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

namespace tevo {

// Reads a picture file (JPEG, BMP, PNG, ...) for the banner or the background. The format is
// taken from the content, not the name, so "gjvw.JPG" holding a bitmap still loads. `file` is
// the path as the system spells it (bytes, whatever their encoding). Only a regular file (or a
// link to one) is read; anything else (a FIFO, a device, a folder) counts as missing. Returns
// nothing when the file is missing, not a picture, too large for its area or unreadable.
//
// What a picture may cost is bounded by the area it is shown in, so that a damaged or hostile
// file can exhaust neither memory nor start-up time:
// - a JPEG that the decoder reads a band of rows at a time (sequential, every colour in one
//   scan, as cameras write them) is decoded at the size it is shown, up to kMaxScaledJpegPixels;
// - any other picture (PNG, BMP, a progressive JPEG, whose decoder holds the whole picture's
//   data) is decoded whole, and is refused before decoding when it has more pixels than
//   wholeDecodePixels() allows for its area;
// - every image a decoder makes is bounded in memory by the same number of pixels (Qt's
//   allocation limit), which also holds for formats that cannot tell their size beforehand.
inline constexpr qint64 kMaxPicturePixels = 50'000'000;
// Above any camera's photograph; decoding one this large at a reduced size takes a few seconds.
inline constexpr qint64 kMaxScaledJpegPixels = qint64(16384) * 16384;

// How a picture is shown in an area of `size` device pixels: stretched to fill it, or at its
// own size from the top left corner, cut off at the area's edges. Of a picture with more than
// four times the area's pixels no more is kept than can be seen there: a stretched one at
// most at the area's size, of one shown at its own size only the part inside the area. Any
// other picture is read whole, as it is. An empty area stands for an area of unknown size.
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

// The most pixels of a picture decoded whole for `area`: 64 times the area's pixels (eight
// times its width and height), at least the pixels of a 3840 x 2160 screen, at most
// kMaxPicturePixels, which also holds for an empty area.
qint64 wholeDecodePixels(const PictureArea& area);

std::optional<QImage> readPicture(const QByteArray& file, const PictureArea& area = {});

} // namespace tevo
