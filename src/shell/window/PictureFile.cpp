#include "shell/window/PictureFile.h"

#include <QImageReader>

namespace tevo {

namespace {

qint64 pixels(QSize size)
{
    return qint64(size.width()) * size.height();
}

bool isTooLarge(QSize size)
{
    return pixels(size) > kMaxPicturePixels;
}

} // namespace

std::optional<QImage> readPicture(const QString& file, const PictureArea& area)
{
    if (file.isEmpty())
        return std::nullopt;
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    // Formats that cannot tell their size before decoding are still bounded by Qt's own
    // allocation limit for image readers.
    const QSize size = reader.size();
    if (!reader.canRead() || isTooLarge(size))
        return std::nullopt;
    // A picture of a few times the area's pixels is cheap enough to read whole.
    if (size.isValid() && !area.size.isEmpty() && pixels(size) > 4 * pixels(area.size)) {
        if (area.fit == PictureArea::Fit::Stretched)
            reader.setScaledSize(size.boundedTo(area.size));
        else
            reader.setClipRect(QRect(QPoint(0, 0), size.boundedTo(area.size)));
    }
    QImage image = reader.read();
    if (image.isNull() || isTooLarge(image.size()))
        return std::nullopt;
    return image;
}

} // namespace tevo
