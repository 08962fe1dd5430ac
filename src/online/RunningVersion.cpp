#include "online/RunningVersion.h"

#include "Version.h"

namespace tevo {

QString versionString(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString runningVersionString()
{
    return versionString(version::kMajor, version::kMinor, version::kRevision);
}

} // namespace tevo
