#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace tevo {

// The window's built-in pictures are embedded twice: drawn at their own size ("command1.png")
// and at twice that size ("command1@2x.png"). The 1x file's size is the picture's size in
// logical pixels; on a screen scaled above 100 % Qt adds the @2x file to an icon by itself, so
// that the picture is drawn from the larger rendering instead of being blown up.
namespace BuiltInPicture {

// The picture as an icon with both renderings, for buttons and the window.
QIcon icon(const QString& resource);

// The picture's size in logical pixels.
QSize size(const QString& resource);

// The picture drawn for a screen of `devicePixelRatio`, at its logical size: from the @2x
// rendering above 100 %, scaled down smoothly where the ratio lies between 1 and 2.
QPixmap pixmap(const QString& resource, qreal devicePixelRatio);

} // namespace BuiltInPicture

} // namespace tevo
