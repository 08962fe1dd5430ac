#include "online/OnlineServices.h"

namespace tevo {

// Placeholder until the online services land.
struct OnlineServices::State
{
};
OnlineServices::OnlineServices(Platform&, MainMenuView&, const LoginContext&, std::function<void()>)
    : m_state(std::make_unique<State>())
{
}
OnlineServices::~OnlineServices() = default;
void OnlineServices::computeSystemNumber() {}
QString OnlineServices::systemNumber() const { return {}; }
void OnlineServices::upgradeCheck() {}
void OnlineServices::updateCommand() {}
void OnlineServices::identityShortcut(const QString&) {}
void OnlineServices::licensingSite() {}

} // namespace tevo
