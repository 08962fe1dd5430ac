#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace tevo {

// Reads a picture file (JPEG, BMP, PNG, ...) for the banner or the background. The format is
// taken from the content, not the name, so "gjvw.JPG" holding a bitmap still loads. Pictures
// larger than kMaxPicturePixels are refused before they are decoded, so a damaged or hostile
// file cannot exhaust memory. Returns nothing when the file is missing, not a picture, too
// large or unreadable.
inline constexpr qint64 kMaxPicturePixels = 50'000'000;

std::optional<QImage> readPicture(const QString& file);

} // namespace tevo
