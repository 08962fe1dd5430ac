#pragma once

#include <QString>

namespace tevo {

// "major.minor.revision", each number in plain decimal (2010, 10, 28 give "2010.10.28").
QString versionString(int major, int minor, int revision);

// The version string of this build, compared with the announced latest version.
QString runningVersionString();

} // namespace tevo
