#pragma once

#include "platform/MountTable.h"
#include "platform/WorkingDirectory.h"

namespace tevo {

// The process's real working directory; its drive root is the mount point of the filesystem
// that holds it.
class SystemWorkingDirectory : public WorkingDirectory
{
public:
    // getcwd() as it reports it, read as text (see WorkingDirectory::current()); empty when the
    // folder has been removed or its name reads as no text, "(unreachable)/..." for a folder
    // outside the process's root.
    QString current() const override;
    QByteArray nativePath() const override;
    Result<QString> driveRoot() const override;

    // The mount that holds the working directory, for callers that need more than its root. A
    // drive root whose name is not UTF-8 is an error: no path that Qt opens names it.
    Result<MountTable::Mount> currentMount() const;
};

} // namespace tevo
