#include "platform/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace tevo {

QString systemErrorText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("沒有權限");
    case ENOENT:
        return QStringLiteral("檔案或資料夾不存在");
    case ENOSPC:
        return QStringLiteral("磁碟已滿");
    case EROFS:
        return QStringLiteral("磁碟是唯讀的");
    case EISDIR:
        return QStringLiteral("那是一個資料夾");
    case ENOTDIR:
        return QStringLiteral("路徑中有一段不是資料夾");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace tevo
