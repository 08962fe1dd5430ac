#pragma once

#include <QString>

namespace tevo {

// The path of the file `name` in `folder`: the exact name when it exists, else the first entry
// of the folder whose name matches without regard to letter case (names the design gives come
// from a platform that ignores case), else the exact path, which does not exist.
QString lookUpFile(const QString& folder, const QString& name);

} // namespace tevo
