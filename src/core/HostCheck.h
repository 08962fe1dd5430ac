#pragma once

#include <QString>

namespace tevo {

// The refusal of an operation that runs on the host only, at any other workstation.
inline const QString kHostOnlyRefusal = QStringLiteral("本作業祇能於主機執行");

// True when the working directory equals the host directory trimmed of spaces, letter case
// significant. An empty host directory never matches.
bool isHostWorkstation(const QString& hostDirectory, const QString& workingDirectory);

} // namespace tevo
