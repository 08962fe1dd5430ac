#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

class WorkingDirectory;

// The suite INI file "kelpan.INI" in the root folder of the working directory's drive (the
// mount point of its filesystem), looked up by exact name first, then without regard to case.
Result<QString> suiteIniPath(const WorkingDirectory& workingDirectory);

} // namespace tevo
