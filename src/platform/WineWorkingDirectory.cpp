#include "platform/WineWorkingDirectory.h"

#include "platform/WindowsView.h"

namespace tevo {

Result<QString> WineWorkingDirectory::driveRoot() const
{
    const Result<QString> folder = m_view.currentFolder();
    if (!folder)
        return folder;
    const Result<QString> root = m_view.driveRoot(folder.value());
    if (!root)
        return root;
    return m_view.unixPath(root.value());
}

QString WineWorkingDirectory::suiteForm() const
{
    const Result<QString> folder = m_view.currentFolder();
    return folder ? folder.value() : QString();
}

QString WineWorkingDirectory::localPath(const QString& suitePath) const
{
    if (suitePath.isEmpty())
        return QString();
    const Result<QString> path = m_view.unixPath(suitePath);
    return path ? path.value() : QString();
}

Result<qint32> WineVolumeSerial::serialOfCurrentDrive() const
{
    const Result<QString> folder = m_view.currentFolder();
    if (!folder)
        return Result<qint32>::error(folder.error());
    const Result<quint32> serial = m_view.volumeSerial(folder.value());
    if (!serial)
        return Result<qint32>::error(serial.error());
    // The suite reads the serial as a signed 32-bit number: the top bit is the sign.
    return static_cast<qint32>(serial.value());
}

} // namespace tevo
