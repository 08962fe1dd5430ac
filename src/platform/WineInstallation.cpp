#include "platform/WineInstallation.h"

#include "platform/WindowsExecutable.h"

#include <QFile>

namespace tevo {

Result<bool> recogniseWineInstallation(const std::optional<QByteArray>& entryProgram,
                                       const WineEnvironment& environment)
{
    if (!entryProgram || !isWindowsExecutable(QFile::decodeName(*entryProgram)))
        return false;
    // In the order a start of a Windows program checks them, so that the menu says the same.
    if (const Result<QString> wine = environment.wineProgram(QFile::decodeName(*entryProgram));
        !wine)
        return Result<bool>::error(wine.error());
    if (const Status prefix = environment.checkPrefix(); !prefix)
        return Result<bool>::error(prefix.message());
    if (const Status locale = WineEnvironment::checkLocale(); !locale)
        return Result<bool>::error(locale.message());
    return true;
}

WineInstallation::WineInstallation(std::unique_ptr<WineBridge> bridge, const QString& linuxFolder,
                                   const WorkingDirectory& local, SettingsStore& native,
                                   const QStringList& sharedApplications)
    : m_bridge(std::move(bridge)), m_view(*m_bridge), m_registry(*m_bridge),
      m_store(native, m_registry, m_view, linuxFolder, sharedApplications),
      m_workingDirectory(local, m_view), m_volumeSerial(m_view)
{
}

} // namespace tevo
