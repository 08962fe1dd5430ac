#pragma once

#include <QString>

namespace tevo {

// True when `path` names a regular file (links followed) that is a Windows executable: "MZ" at
// its start and "PE\0\0" at the offset the DOS header gives at 0x3C, inside the file. At most a
// few kilobytes are read. A FIFO or device is never waited on: the file is opened without
// blocking and anything but a regular file is not an executable. False, too, when the file cannot
// be read.
bool isWindowsExecutable(const QString& path);

} // namespace tevo
