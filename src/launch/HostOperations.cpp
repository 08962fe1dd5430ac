#include "launch/HostOperations.h"

#include "core/HostCheck.h"
#include "core/NumericText.h"
#include "launch/CommandCatalogue.h"
#include "launch/HandOff.h"
#include "launch/SideLaunch.h"

namespace tevo {

namespace {

const CommandRow& catalogueRow(const char* entry)
{
    // The catalogue is fixed data with a row for each of these entries.
    return *findCommand(QString::fromLatin1(entry));
}

} // namespace

HostOperations::HostOperations(Platform& platform, HandOff& handOff, SideLaunch& sideLaunch,
                               const LoginContext& login)
    : m_platform(platform), m_handOff(handOff), m_sideLaunch(sideLaunch), m_login(login)
{
}

bool HostOperations::isHost() const
{
    return isHostWorkstation(m_login.hostDirectory, m_platform.workingDirectory.suiteForm());
}

void HostOperations::refuse()
{
    m_platform.beeper.beep();
    m_platform.messages.show(kHostOnlyRefusal);
}

void HostOperations::permissionSetting()
{
    if (!isHost()) {
        refuse();
        return;
    }
    m_handOff.run(catalogueRow("fvg2"));
}

void HostOperations::dataBackup()
{
    if (!isHost()) {
        refuse();
        return;
    }
    m_sideLaunch.runWithSuiteIniEntry(catalogueRow("yx1z"), QStringLiteral("備份"));
}

} // namespace tevo
