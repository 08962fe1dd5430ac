#include "launch/HostOperations.h"

namespace tevo {

// Placeholder until the host-only operations land.
bool isHostWorkstation(const QString&, const QString&) { return false; }
HostOperations::HostOperations(Platform& platform, MainMenuView& view, HandOff& handOff,
                               const LoginContext& login)
    : m_platform(platform), m_view(view), m_handOff(handOff), m_login(login)
{
}
bool HostOperations::isHost() const { return false; }
void HostOperations::refuse() {}
void HostOperations::permissionSetting() {}
void HostOperations::dataBackup() {}
void HostOperations::enterBasicData() {}

} // namespace tevo
