#include "launch/SideLaunch.h"

#include "core/MainMenuView.h"
#include "core/SuiteIni.h"

namespace tevo {

namespace {
const QString kFolderKey = QStringLiteral("目錄位置");
const QString kFolderName = QStringLiteral("GARVO");
} // namespace

SideLaunch::SideLaunch(Platform& platform, MainMenuView& view) : m_platform(platform), m_view(view)
{
}

void SideLaunch::run(const CommandRow& row)
{
    if (row.stopsIdle)
        m_view.setIdleTimerEnabled(false);
    if (row.beeps)
        m_platform.beeper.beep();
    if (m_platform.processes.start(QString::fromUtf8(row.program)))
        return;
    if (row.failureBeeps)
        m_platform.beeper.beep();
    m_platform.messages.show(failureMessage(row));
}

void SideLaunch::runWithSuiteIniEntry(const CommandRow& row, const QString& section)
{
    // Neither failure stops the launch or is shown: the entry only saves the program asking for
    // its folder, and the writer leaves a file it cannot write as it was.
    const Result<QString> iniFile = suiteIniPath(m_platform.workingDirectory);
    if (iniFile) {
        static_cast<void>(
            m_platform.profiles.writeString(iniFile.value(), section, kFolderKey, kFolderName));
    }
    run(row);
}

void SideLaunch::enterCompanyData()
{
    // The catalogue is fixed data with a row for this entry.
    runWithSuiteIniEntry(*findCommand(QStringLiteral("EGYX")), QStringLiteral("公司"));
}

} // namespace tevo
