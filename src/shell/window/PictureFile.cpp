#include "shell/window/PictureFile.h"

#include <QImageReader>

namespace tevo {

std::optional<QImage> readPicture(const QString& file)
{
    if (file.isEmpty())
        return std::nullopt;
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    const auto tooLarge = [](QSize size) {
        return qint64(size.width()) * size.height() > kMaxPicturePixels;
    };
    // Formats that cannot tell their size before decoding are still bounded by Qt's own
    // allocation limit for image readers.
    if (!reader.canRead() || tooLarge(reader.size()))
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull() || tooLarge(image.size()))
        return std::nullopt;
    return image;
}

} // namespace tevo
