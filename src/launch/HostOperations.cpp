#include "launch/HostOperations.h"

#include "core/HostCheck.h"
#include "core/NumericText.h"
#include "core/SuiteIni.h"
#include "launch/CommandCatalogue.h"
#include "launch/HandOff.h"

namespace tevo {

namespace {

const QString kFolderKey = QStringLiteral("目錄位置");
const QString kFolderName = QStringLiteral("GARVO");

const CommandRow& catalogueRow(const char* entry)
{
    // The catalogue is fixed data with a row for each of these entries.
    return *findCommand(QString::fromLatin1(entry));
}

// Writes the suite's folder name into `section` of the suite INI file, where the program about to
// start looks for it, then starts the row's program with the menu staying open. A file that
// cannot be located or written does not stop the launch and is not reported to the user; the
// writer leaves such a file as it was.
void launchWithSuiteIniEntry(Platform& platform, HandOff& handOff, const CommandRow& row,
                             const QString& section)
{
    const Result<QString> iniFile = suiteIniPath(platform.workingDirectory);
    if (iniFile)
        platform.profiles.writeString(iniFile.value(), section, kFolderKey, kFolderName);
    handOff.sideLaunch(row);
}

} // namespace

HostOperations::HostOperations(Platform& platform, MainMenuView& view, HandOff& handOff,
                               const LoginContext& login)
    : m_platform(platform), m_view(view), m_handOff(handOff), m_login(login)
{
}

bool HostOperations::isHost() const
{
    return isHostWorkstation(m_login.hostDirectory, m_platform.workingDirectory.current());
}

void HostOperations::refuse()
{
    m_platform.beeper.beep();
    m_platform.messages.show(QStringLiteral("本作業祇能於主機執行"));
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
    launchWithSuiteIniEntry(m_platform, m_handOff, catalogueRow("yx1z"), QStringLiteral("備份"));
}

void HostOperations::enterBasicData()
{
    launchWithSuiteIniEntry(m_platform, m_handOff, catalogueRow("EGYX"), QStringLiteral("公司"));
}

} // namespace tevo
