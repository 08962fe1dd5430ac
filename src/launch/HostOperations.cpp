#include "launch/HostOperations.h"

#include "shell/NumericText.h"

namespace tevo {

bool isHostWorkstation(const QString& hostDirectory, const QString& workingDirectory)
{
    const QString host = trimSpaces(hostDirectory);
    return !host.isEmpty() && host == workingDirectory;
}

// Placeholder until the host-only operations land.
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
