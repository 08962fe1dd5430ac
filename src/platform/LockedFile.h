#pragma once

#include "platform/FileDescriptor.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <sys/stat.h>

namespace tevo {

// A regular file held open for reading and writing under an fcntl write lock on the whole file,
// for one read-modify-write that no other writer interleaves with: another descriptor in this
// process, another process, or, through the lock manager of an NFS or SMB mount, a process on
// another machine.
//
// The file is reached by its name inside a folder that the caller has opened, never through a
// symbolic link; a folder, a device or a pipe in its place is refused without being opened.
// Once the lock is held the name is looked up again: a writer that replaced the file while this
// one waited has left the lock on a file that no longer has the name, and the open starts over
// on the file that has it now.
class LockedFile
{
public:
    LockedFile() = default;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens and locks `name` in `folder` (named `shown` in messages), first creating it empty
    // (0666 less the umask) when there is none; writers that create it at the same time all end
    // up with the one file. Waits as long as another writer holds the lock.
    Status open(int folder, const QByteArray& name, const QString& shown);

    // The open file, positioned at its start.
    int fd() const { return m_fd.get(); }

    // Gives the file the contents `after`, its contents being `before`, and flushes them to
    // disk. Where the user owns the file and may write its folder, a new file written beside it
    // is renamed over it, so that a crash leaves either the old or the new contents whole; it
    // takes over the file's group, permission bits (not set-user-ID, set-group-ID or sticky) and
    // access ACL, and where it cannot (a group the user is not in) the file is rewritten in place
    // instead. Any other file (another user's, or in a folder the user may not write) is rewritten
    // in place and keeps its owner, group, mode and ACLs. On failure the file is as it was, but
    // for a failure in the middle of a rewrite in place.
    Status write(const QByteArray& before, const QByteArray& after);

private:
    Status failure(int error) const;
    std::optional<Status> replace(const QByteArray& data);
    Status rewriteInPlace(const QByteArray& before, const QByteArray& after);

    FileDescriptor m_fd;
    // The file as found at the name once the lock was held. It stays open with the lock: closing
    // any descriptor of the file releases a lock of the process, the fallback where the kernel
    // has no locks of the open file.
    FileDescriptor m_check;
    struct stat m_status = {};
    int m_folder = -1;
    QByteArray m_name;
    QString m_shown;
};

} // namespace tevo
