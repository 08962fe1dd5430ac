#include "platform/PrivateFile.h"

#include "platform/SystemErrorText.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo {

namespace {

// Why the entry at `path` may not be replaced; empty when it is missing or may be replaced.
// `error` is set when it cannot be looked at.
QString refusal(const QByteArray& path, int& error)
{
    struct stat info;
    if (::lstat(path.constData(), &info) != 0) {
        error = errno == ENOENT ? 0 : errno;
        return QString();
    }
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("那是符號連結，不經由連結寫入");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("那是一個資料夾");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("那不是一般檔案（裝置、具名管道或通訊端），不予取代");
    if (info.st_uid != ::geteuid())
        return QStringLiteral("那是另一位使用者的檔案，不予取代");
    return QString();
}

// Writes all of `bytes` to `fd`; 0 or an errno.
int writeAll(int fd, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        left -= n;
    }
    return 0;
}

} // namespace

Status PrivateFile::write(const QString& path, QByteArrayView bytes)
{
    const auto failed = [&path](const QString& why) {
        return Status::error(QStringLiteral("無法寫入「%1」：%2").arg(path, why));
    };
    const QByteArray target = QFile::encodeName(path);
    if (target.isEmpty())
        return failed(systemErrorText(ENOENT));
    int error = 0;
    if (const QString why = refusal(target, error); !why.isEmpty() || error)
        return failed(error ? systemErrorText(error) : why);

    // A name of its own, short enough for any folder whatever the file's name.
    QByteArray temporary = target.left(target.lastIndexOf('/') + 1) + ".tevo.XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(systemErrorText(errno));
    error = ::fchmod(fd, 0600) != 0 ? errno : writeAll(fd, bytes);
    // A full disk may only show when the data reaches it (a network share); a filesystem that
    // has nothing to synchronise says EINVAL.
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    // Looked at again: something else may have taken the name while the bytes were written.
    QString why;
    if (error == 0)
        why = refusal(target, error);
    if (why.isEmpty() && error == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (why.isEmpty() && error == 0)
        return Status::ok();
    ::unlink(temporary.constData());
    return failed(why.isEmpty() ? systemErrorText(error) : why);
}

} // namespace tevo
