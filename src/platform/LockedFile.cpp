#include "platform/LockedFile.h"

#include "platform/SystemErrorText.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace tevo {

namespace {

// Each round ends with a file that another writer created or replaced meanwhile; that happens
// once per competing write, so only a file that is replaced without end runs out of rounds.
constexpr int kMaxRounds = 1000;

// Waits for a write lock on the whole file, however far it grows. A lock of the open file
// description belongs to this descriptor alone: another descriptor of the file waits for it, in
// this process too, and closing another descriptor does not release it. Linux hands it to the
// lock manager of an NFS or SMB mount like a lock of the process, as a byte-range lock on the
// server, so writers on other machines wait for it as well. A kernel without it (before 3.15)
// gets a lock of the process. Returns 0 or the error.
int lockWholeFile(int fd)
{
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    int command = F_OFD_SETLKW;
    for (;;) {
        if (::fcntl(fd, command, &lock) == 0)
            return 0;
        if (errno == EINVAL && command == F_OFD_SETLKW)
            command = F_SETLKW;
        else if (errno != EINTR)
            return errno;
    }
}

// Writes `data` from byte `from` on, at the same place in the file. Returns 0 or the error.
int writeFrom(int fd, const QByteArray& data, qsizetype from)
{
    while (from < data.size()) {
        const ssize_t n =
            ::pwrite(fd, data.constData() + from, size_t(data.size() - from), off_t(from));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        from += n;
    }
    return 0;
}

// Gives `to` the access ACL of `from`, or none when `from` has none (a new file takes one from
// its folder's default ACL).
bool copyAccessAcl(int from, int to)
{
    static const char kName[] = "system.posix_acl_access";
    const ssize_t size = ::fgetxattr(from, kName, nullptr, 0);
    if (size < 0) {
        if (errno != ENODATA && errno != EOPNOTSUPP)
            return false;
        return ::fremovexattr(to, kName) == 0 || errno == ENODATA || errno == EOPNOTSUPP;
    }
    QByteArray acl(size, Qt::Uninitialized);
    return ::fgetxattr(from, kName, acl.data(), size_t(size)) == size &&
           ::fsetxattr(to, kName, acl.constData(), size_t(size), 0) == 0;
}

} // namespace

namespace {

// Ok for a regular file; what it is instead otherwise (it is never written through).
Status regularFile(const struct stat& found, const QString& shown)
{
    if (S_ISLNK(found.st_mode))
        return Status::error(
            QStringLiteral("無法寫入檔案「%1」：它是符號連結，不經由連結寫入").arg(shown));
    if (S_ISDIR(found.st_mode))
        return Status::error(QStringLiteral("無法寫入檔案「%1」：它是資料夾").arg(shown));
    if (!S_ISREG(found.st_mode))
        return Status::error(QStringLiteral("無法寫入檔案「%1」：它不是一般檔案").arg(shown));
    return Status::ok();
}

// Creates the file `name` unless another writer has made it first: 0, or the errno.
int createFile(int folder, const QByteArray& name)
{
    const FileDescriptor created(
        ::openat(folder, name.constData(),
                 O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666));
    return created.get() < 0 && errno != EEXIST ? errno : 0;
}

} // namespace

Status LockedFile::failure(int error) const
{
    return Status::error(
        QStringLiteral("無法寫入檔案「%1」：%2").arg(m_shown, systemErrorText(error)));
}

Status LockedFile::open(int folder, const QByteArray& name, const QString& shown)
{
    m_folder = folder;
    m_name = name;
    m_shown = shown;
    for (int round = 0; round < kMaxRounds; ++round) {
        m_check.reset();
        m_fd.reset();
        // Looks at what has the name without opening it, so that a pipe or a device is never
        // opened, and a link is looked at itself.
        FileDescriptor entry(::openat(folder, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (entry.get() < 0) {
            if (const int error = errno == ENOENT ? createFile(folder, name) : errno)
                return failure(error);
            continue; // a file has the name now, made here or by another writer
        }
        struct stat found;
        if (::fstat(entry.get(), &found) != 0)
            return failure(errno);
        if (Status regular = regularFile(found, shown); !regular)
            return regular;

        // Opens the very file looked at, whatever has the name by now.
        m_fd.reset(::open(("/proc/self/fd/" + QByteArray::number(entry.get())).constData(),
                          O_RDWR | O_CLOEXEC | O_NOCTTY));
        if (m_fd.get() < 0) {
            if (errno == ESTALE) // replaced on the file server
                continue;
            return failure(errno);
        }
        if (const int error = lockWholeFile(m_fd.get())) {
            if (error == ESTALE)
                continue;
            return Status::error(
                QStringLiteral("無法鎖定檔案「%1」以寫入：%2").arg(shown, systemErrorText(error)));
        }
        // The name is opened again rather than looked up with stat, which an NFS client may
        // answer from its cache; an open asks the server.
        m_check.reset(::openat(folder, name.constData(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (m_check.get() < 0) {
            // Gone, a link or another file now: the next round looks at what has the name.
            if (errno == ENOENT || errno == ELOOP || errno == ESTALE || errno == EACCES)
                continue;
            return failure(errno);
        }
        struct stat named;
        if (::fstat(m_check.get(), &named) != 0 || ::fstat(m_fd.get(), &m_status) != 0)
            return failure(errno);
        if (named.st_dev == m_status.st_dev && named.st_ino == m_status.st_ino)
            return Status::ok();
        // Replaced while this writer waited for the lock: the lock now guards nothing.
    }
    m_check.reset();
    m_fd.reset();
    return Status::error(
        QStringLiteral("無法寫入檔案「%1」：其他程式一再建立或替換這個檔案").arg(shown));
}

Status LockedFile::write(const QByteArray& before, const QByteArray& after)
{
    // A replacement belongs to the user who makes it, so only the user's own file is replaced,
    // and only where the folder lets the user make the new file.
    if (m_status.st_uid == ::geteuid() &&
        ::faccessat(m_folder, ".", W_OK | X_OK, AT_EACCESS) == 0) {
        if (std::optional<Status> replaced = replace(after))
            return *replaced;
    }
    return rewriteInPlace(before, after);
}

// A new file beside the locked one, made like it, written, flushed and renamed over it. Gives
// std::nullopt, with nothing changed, when the new file cannot be made like the old one or put in
// its place.
std::optional<Status> LockedFile::replace(const QByteArray& data)
{
    QByteArray temporary;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 16 && fd.get() < 0; ++attempt) {
        temporary = '.' + m_name + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate64(), 16) + ".tmp";
        fd.reset(::openat(m_folder, temporary.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.get() < 0 && errno != EEXIST)
            return std::nullopt;
    }
    if (fd.get() < 0)
        return std::nullopt;
    const auto abandon = [&] {
        fd.reset();
        ::unlinkat(m_folder, temporary.constData(), 0);
    };

    // The permission bits only: a set-user-ID, set-group-ID or sticky bit is not carried over.
    struct stat made;
    const bool alike =
        ::fstat(fd.get(), &made) == 0 &&
        (made.st_gid == m_status.st_gid || ::fchown(fd.get(), uid_t(-1), m_status.st_gid) == 0) &&
        copyAccessAcl(m_fd.get(), fd.get()) && ::fchmod(fd.get(), m_status.st_mode & 0777) == 0;
    if (!alike) {
        abandon();
        return std::nullopt;
    }
    int error = writeFrom(fd.get(), data, 0);
    if (error == 0 && ::fsync(fd.get()) != 0)
        error = errno;
    if (error == 0 && !fd.close())
        error = errno;
    if (error != 0) {
        abandon();
        return failure(error);
    }
    // Some file servers refuse to rename over a file that is open; it is rewritten in place then.
    if (::renameat(m_folder, temporary.constData(), m_folder, m_name.constData()) != 0) {
        abandon();
        return std::nullopt;
    }
    // Makes the rename itself durable; the new contents are complete either way.
    ::fsync(m_folder);
    return Status::ok();
}

Status LockedFile::rewriteInPlace(const QByteArray& before, const QByteArray& after)
{
    // Only what changed is written: the bytes up to the first difference stay as they are.
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype from = 0;
    while (from < common && before[from] == after[from])
        ++from;
    // The room first, so that a full disk or quota leaves the file as it was instead of cut short;
    // on a filesystem that cannot reserve room, the write finds out.
    if (after.size() > before.size() &&
        ::fallocate(m_fd.get(), FALLOC_FL_KEEP_SIZE, 0, off_t(after.size())) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
        return failure(errno);
    int error = writeFrom(m_fd.get(), after, from);
    if (error == 0 && after.size() < before.size() &&
        ::ftruncate(m_fd.get(), off_t(after.size())) != 0)
        error = errno;
    if (error == 0 && ::fsync(m_fd.get()) != 0)
        error = errno;
    return error == 0 ? Status::ok() : failure(error);
}

} // namespace tevo
