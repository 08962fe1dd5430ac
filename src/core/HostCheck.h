#pragma once

#include <QString>

namespace tevo {

// True when the working directory equals the host directory trimmed of spaces, letter case
// significant. An empty host directory never matches.
bool isHostWorkstation(const QString& hostDirectory, const QString& workingDirectory);

} // namespace tevo
