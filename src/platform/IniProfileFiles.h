#pragma once

#include "platform/ProfileFiles.h"

#include <QByteArray>

#include <optional>

namespace tevo {

// Profile files on the local filesystem (see ProfileFiles for the reading rules).
//
// Reading takes the whole file afresh on every call; a missing, unreadable or oversized file,
// a folder, a device or a file that is not text gives the default. Writing keeps every other
// byte, writes new files in code page 950 and files read as UTF-8 back in UTF-8, and holds an
// fcntl lock on the file from reading it to writing it back (see LockedFile), so that writers
// in several processes, on several machines sharing the file, never lose each other's keys.
// The user's own file in a folder the user may write is replaced through a temporary file in
// the same folder (written, flushed to disk, renamed), so the original is either untouched or
// completely replaced, with its group, permission bits (0777) and ACL; any other file the user
// may write (another user's, or in a folder only others may write) is rewritten in place and
// keeps its owner, group, mode and ACLs. Writing works inside the file's folder, opened once,
// and never follows a link: a symbolic link, a folder, a device or a pipe in the file's place
// is refused and left as it is, and so is the file a link points to. A write that would leave
// a code page 950 file valid UTF-8 as a whole, so that it would be read as UTF-8 from then on,
// is refused, as are names and values holding a line end or NUL.
class IniProfileFiles : public ProfileFiles
{
public:
    // Larger files are not profiles; reading them gives the default, writing refuses. A
    // permission profile for every level holds about 5 KB, and the menu reads it afresh for
    // each of its 43 keys while the window opens: the limit keeps that well under a second.
    static constexpr qsizetype kMaxFileBytes = 1024 * 1024;

    QString readString(const QString& file, const QString& section, const QString& key,
                       const QString& defaultValue = QString(), int bufferSize = 200) override;
    Status writeString(const QString& file, const QString& section, const QString& key,
                       const QString& value) override;

    // The bytes of a regular file, std::nullopt when it does not exist, or an error message
    // naming the file (a folder, a device, unreadable, larger than kMaxFileBytes). Never
    // blocks on a FIFO.
    static Result<std::optional<QByteArray>> readFileBytes(const QString& file);
};

} // namespace tevo
