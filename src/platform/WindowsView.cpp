#include "platform/WindowsView.h"

#include "platform/WineBridge.h"

namespace tevo {

Result<QString> BridgeWindowsView::currentFolder()
{
    if (m_currentFolder)
        return *m_currentFolder;
    Result<QString> folder = m_bridge.currentFolder();
    if (folder)
        m_currentFolder = folder.value();
    return folder;
}

Result<QString> BridgeWindowsView::unixPath(const QString& windowsPath)
{
    return m_bridge.unixPath(windowsPath);
}

Result<QString> BridgeWindowsView::driveRoot(const QString& windowsPath)
{
    return m_bridge.driveRoot(windowsPath);
}

Result<quint32> BridgeWindowsView::volumeSerial(const QString& windowsPath)
{
    return m_bridge.volumeSerial(windowsPath);
}

} // namespace tevo
