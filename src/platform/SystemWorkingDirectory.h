#pragma once

#include "platform/MountTable.h"
#include "platform/WorkingDirectory.h"

namespace tevo {

// The process's real working directory; its drive root is the mount point of the filesystem
// that holds it.
class SystemWorkingDirectory : public WorkingDirectory
{
public:
    // getcwd() as it reports it, decoded from the file-name encoding; empty when the folder has
    // been removed, "(unreachable)/..." for a folder outside the process's root.
    QString current() const override;
    Result<QString> driveRoot() const override;

    // The mount that holds the working directory, for callers that need more than its root.
    Result<MountTable::Mount> currentMount() const;
};

} // namespace tevo
