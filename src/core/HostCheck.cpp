#include "core/HostCheck.h"

#include "core/NumericText.h"

namespace tevo {

bool isHostWorkstation(const QString& hostDirectory, const QString& workingDirectory)
{
    const QString host = trimSpaces(hostDirectory);
    return !host.isEmpty() && host == workingDirectory;
}

} // namespace tevo
