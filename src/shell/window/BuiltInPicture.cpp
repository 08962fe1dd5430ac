#include "shell/window/BuiltInPicture.h"

#include <QImageReader>

namespace tevo::BuiltInPicture {

QIcon icon(const QString& resource)
{
    return QIcon(resource);
}

QSize size(const QString& resource)
{
    return QImageReader(resource).size();
}

QPixmap pixmap(const QString& resource, qreal devicePixelRatio)
{
    return icon(resource).pixmap(size(resource), devicePixelRatio);
}

} // namespace tevo::BuiltInPicture
