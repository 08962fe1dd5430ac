#pragma once

#include "core/LoginContext.h"
#include "core/Platform.h"

namespace tevo {

class HandOff;
class SideLaunch;

// The operations that run on the host only (its working directory is the host directory of the
// login): the permission settings and the data backup.
class HostOperations
{
public:
    HostOperations(Platform& platform, HandOff& handOff, SideLaunch& sideLaunch,
                   const LoginContext& login);

    bool isHost() const;
    // Beep and kHostOnlyRefusal; nothing written, nothing started.
    void refuse();

    void permissionSetting(); // fvg2
    void dataBackup();        // yx1z

private:
    Platform& m_platform;
    HandOff& m_handOff;
    SideLaunch& m_sideLaunch;
    const LoginContext& m_login;
};

} // namespace tevo
