#pragma once

#include "platform/WorkingDirectory.h"

namespace tevo {

class WindowsView;

// The working directory of an installation whose suite programs run under Wine, seen the way
// they see it: the process's own folder (current(), nativePath(), the settings' Linux section)
// comes from `local`; the drive root is the Unix path of the root of the Windows drive that holds
// the folder (D: mapped to /srv/garage: "/srv/garage", wherever /srv is mounted); suiteForm() is
// the folder's Windows form; localPath() maps a Windows path through Wine's drive letters.
class WineWorkingDirectory : public WorkingDirectory
{
public:
    WineWorkingDirectory(const WorkingDirectory& local, WindowsView& view)
        : m_local(local), m_view(view)
    {
    }

    QString current() const override { return m_local.current(); }
    QByteArray nativePath() const override { return m_local.nativePath(); }
    Result<QString> driveRoot() const override;
    QString suiteForm() const override;
    QString localPath(const QString& suitePath) const override;

private:
    const WorkingDirectory& m_local;
    WindowsView& m_view;
};

// The volume serial number Wine reports for the drive of the working folder's Windows form: the
// number the suite's Windows programs see.
class WineVolumeSerial : public VolumeSerialSource
{
public:
    explicit WineVolumeSerial(WindowsView& view) : m_view(view) {}
    Result<qint32> serialOfCurrentDrive() const override;

private:
    WindowsView& m_view;
};

} // namespace tevo
