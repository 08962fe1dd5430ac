#pragma once

#include "core/LoginContext.h"

#include <QString>

#include <functional>
#include <optional>

namespace tevo {

class MainMenuView;
class ProfileFiles;

// The permission profile's file name built from the login context; std::nullopt when the
// profile folder text is shorter than two characters (no profile, nothing restricted).
// `toLocal`, when given, maps the name as the suite's other programs write it (a Windows path
// under Wine) to a local path; a name it cannot map (empty) is kept, and reads as a missing file.
using SuitePathMapping = std::function<QString(const QString&)>;
std::optional<QString> permissionProfilePath(const LoginContext& login,
                                             const SuitePathMapping& toLocal = {});

// applyPermissions is the design's VYGTA (apply the permission profile): it greys the menu entries
// and buttons of every area that the profile forbids at the user's level (levels 2 to 6; other
// levels restrict nothing). Only ever disables.
void applyPermissions(ProfileFiles& profiles, const LoginContext& login, MainMenuView& view,
                      const SuitePathMapping& toLocal = {});

} // namespace tevo
