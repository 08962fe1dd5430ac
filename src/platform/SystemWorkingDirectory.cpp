#include "platform/SystemWorkingDirectory.h"

#include "platform/FileNameText.h"
#include "platform/TextCodec.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tevo {

QByteArray SystemWorkingDirectory::nativePath() const
{
    QByteArray buffer(4096, '\0');
    while (::getcwd(buffer.data(), static_cast<size_t>(buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return QByteArray();
        buffer.resize(buffer.size() * 2);
    }
    return QByteArray(buffer.constData());
}

QString SystemWorkingDirectory::current() const
{
    return FileNameText::decode(nativePath()).value_or(QString());
}

Result<MountTable::Mount> SystemWorkingDirectory::currentMount() const
{
    const QByteArray native = nativePath();
    const Result<QString> readable = this->readable();
    if (!readable)
        return Result<MountTable::Mount>::error(readable.status());
    const QString& folder = readable.value();
    std::optional<MountTable::Device> device;
    struct stat info;
    if (::stat(".", &info) == 0)
        device = MountTable::Device{major(info.st_dev), minor(info.st_dev)};
    const std::optional<MountTable::Mount> mount =
        MountTable::current().mountHolding(native, device);
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
        return Result<QString>::error(mount.status());
    const QByteArray& root = mount.value().nativeMountPoint;
    if (!TextCodec::isValidUtf8(root)) {
        return Result<QString>::error(
            QStringLiteral("工作目錄所在磁碟的根目錄「%1」名稱不是 UTF-8 文字，無法存取其中的 "
                           "kelpan.INI。請系統管理員將這個磁碟掛載在名稱為 UTF-8 的資料夾。")
                .arg(FileNameText::forMessage(root)));
    }
    return mount.value().mountPoint;
}

} // namespace tevo
