#include "platform/SystemWorkingDirectory.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tevo {

QString SystemWorkingDirectory::current() const
{
    QByteArray buffer(4096, '\0');
    while (::getcwd(buffer.data(), static_cast<size_t>(buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return QString();
        buffer.resize(buffer.size() * 2);
    }
    return QFile::decodeName(buffer.constData());
}

Result<MountTable::Mount> SystemWorkingDirectory::currentMount() const
{
    const Result<QString> readable = this->readable();
    if (!readable)
        return Result<MountTable::Mount>::error(readable.error());
    const QString& folder = readable.value();
    std::optional<MountTable::Device> device;
    struct stat info;
    if (::stat(".", &info) == 0)
        device = MountTable::Device{major(info.st_dev), minor(info.st_dev)};
    const std::optional<MountTable::Mount> mount =
        MountTable::current().mountHolding(folder, device);
    if (!mount) {
        return Result<MountTable::Mount>::error(
            QStringLiteral("找不到工作目錄「%1」所在的磁碟（無法讀取 /proc/self/mountinfo）。"
                           "請系統管理員確認 /proc 已掛載。")
                .arg(folder));
    }
    return *mount;
}

Result<QString> SystemWorkingDirectory::driveRoot() const
{
    const Result<MountTable::Mount> mount = currentMount();
    if (!mount)
        return Result<QString>::error(mount.error());
    return mount.value().mountPoint;
}

} // namespace tevo
