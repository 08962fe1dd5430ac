#include "permissions/PermissionProfile.h"

namespace tevo {

// Placeholder until the permission profile lands.
std::optional<QString> permissionProfilePath(const LoginContext&) { return std::nullopt; }
void applyPermissions(ProfileFiles&, const LoginContext&, MainMenuView&) {}

} // namespace tevo
