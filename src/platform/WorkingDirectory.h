#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

// The process's working directory and the root of its drive.
class WorkingDirectory
{
public:
    virtual ~WorkingDirectory() = default;
    // The working directory exactly as getcwd() reports it; the settings section. Empty, or not
    // an absolute path, when it cannot be read (see readable()).
    virtual QString current() const = 0;
    // current(), or an error that says what to do when the folder cannot be read: it was removed,
    // or lies outside the process's root ("(unreachable)/..."). Settings must never be read or
    // written under such a section.
    Result<QString> readable() const
    {
        QString folder = current();
        if (!folder.startsWith(u'/')) {
            return Result<QString>::error(QStringLiteral(
                "無法取得目前的工作目錄，它可能已被刪除。請回到 Tevo 的資料夾重新啟動程式。"));
        }
        return folder;
    }
    // The mount point of the filesystem that holds the working directory (the "drive root"),
    // from /proc/self/mountinfo.
    virtual Result<QString> driveRoot() const = 0;
};

// The volume serial number of the working directory's drive, as a signed 32-bit number.
class VolumeSerialSource
{
public:
    virtual ~VolumeSerialSource() = default;
    virtual Result<qint32> serialOfCurrentDrive() const = 0;
};

} // namespace tevo
