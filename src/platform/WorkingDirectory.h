#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

namespace tevo {

// The process's working directory and the root of its drive.
class WorkingDirectory
{
public:
    virtual ~WorkingDirectory() = default;
    // The working directory as text, as getcwd() reports it: the settings section and the name
    // in messages. Its bytes read as UTF-8, or as code page 950 where they are not UTF-8 but
    // are code page 950 (see FileNameText::decode()). Empty, or not an absolute path, when it
    // cannot be read or its name reads as neither (see readable()).
    virtual QString current() const = 0;
    // The working directory's bytes exactly as getcwd() reports them, for file operations:
    // current() names the same folder only where the name is UTF-8. Empty when it cannot be
    // read.
    virtual QByteArray nativePath() const = 0;
    // current(), or an error that says what to do when the folder cannot be read: it was
    // removed, lies outside the process's root ("(unreachable)/..."), or has a name that is
    // neither UTF-8 nor code page 950 (named in the message with its odd bytes as \xNN).
    // Settings must never be read or written under such a section.
    Result<QString> readable() const;
    // The mount point of the filesystem that holds the working directory (the "drive root"),
    // from /proc/self/mountinfo.
    virtual Result<QString> driveRoot() const = 0;

    // The working directory as the suite's other programs name it, for comparing it with a
    // folder they wrote (the host directory): current() where they are Linux programs; its
    // Windows form ("D:\GARVO") where they run under Wine, empty when Wine cannot say.
    virtual QString suiteForm() const { return current(); }
    // The local path of a path the suite's other programs wrote (a Windows path under Wine):
    // the path itself where they are Linux programs; empty when it cannot be mapped.
    virtual QString localPath(const QString& suitePath) const { return suitePath; }
};

// The volume serial number of the working directory's drive, as a signed 32-bit number.
class VolumeSerialSource
{
public:
    virtual ~VolumeSerialSource() = default;
    virtual Result<qint32> serialOfCurrentDrive() const = 0;
};

} // namespace tevo
