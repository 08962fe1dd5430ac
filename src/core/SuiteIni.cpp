#include "core/SuiteIni.h"

#include "platform/FileLookup.h"
#include "platform/WorkingDirectory.h"

namespace tevo {

Result<QString> suiteIniPath(const WorkingDirectory& workingDirectory)
{
    const Result<QString> root = workingDirectory.driveRoot();
    if (!root)
        return root;
    return lookUpFile(root.value(), QStringLiteral("kelpan.INI"));
}

} // namespace tevo
