#pragma once

#include "core/LoginContext.h"
#include "core/Platform.h"

namespace tevo {

class MainMenuView;
class HandOff;

// The host-only operations and the company-data launch.
class HostOperations
{
public:
    HostOperations(Platform& platform, MainMenuView& view, HandOff& handOff,
                   const LoginContext& login);

    bool isHost() const;
    // Beep and "本作業祇能於主機執行"; nothing written, nothing started.
    void refuse();

    void permissionSetting(); // fvg2
    void dataBackup();        // yx1z
    void enterBasicData(); // 進基本資料 (EGYX and the incomplete-data path of the web shortcuts)

private:
    Platform& m_platform;
    MainMenuView& m_view;
    HandOff& m_handOff;
    const LoginContext& m_login;
};

} // namespace tevo
