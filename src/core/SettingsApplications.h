#pragma once

#include <QString>

namespace tevo {

// The applications of the settings store that the menu shares with the suite's other programs.
// Application names compare without regard to letter case, so "KELPAN" names the same one.
// The section of both is the working folder.

// The suite's own values: the login context the entry program leaves and the hand-off keys the
// menu writes for a module.
inline const QString kSuiteApplication = QStringLiteral("kelpan");
// The online services' values: versions, the system notice, the advertisement rotation.
inline const QString kOnlineApplication = QStringLiteral("EEYX");

// Keys of the online application that more than one part of the menu reads or writes.
inline const QString kLatestVersionKey = QStringLiteral("GR"); // latest version, after "VW11:"
inline const QString kNoticeKey = QStringLiteral("WE");        // system notice, after "通告:"

} // namespace tevo
