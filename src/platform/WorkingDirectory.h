#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

// The process's working directory and the root of its drive.
class WorkingDirectory
{
public:
    virtual ~WorkingDirectory() = default;
    // The working directory exactly as getcwd() reports it; the settings section.
    virtual QString current() const = 0;
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
