#pragma once

#include "core/LoginContext.h"
#include "core/Platform.h"

#include <functional>
#include <memory>

namespace tevo {

class MainMenuView;

// The vendor's online services: system number, upgrade check, update command and web shortcuts.
class OnlineServices
{
public:
    OnlineServices(Platform& platform, MainMenuView& view, const LoginContext& login,
                   std::function<void()> enterBasicData);
    ~OnlineServices();

    void computeSystemNumber();                      // 查系統號
    void upgradeCheck();                             // 升級處理
    void updateCommand();                            // Command8 (TGEV presses it)
    void identityShortcut(const QString& entryName); // bbvg, trvzn
    void licensingSite();                            // rx5

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace tevo
