#pragma once

#include "platform/Result.h"
#include "platform/WindowsView.h"
#include "platform/WineBridge.h"
#include "platform/WineEnvironment.h"
#include "platform/WineSettingsStore.h"
#include "platform/WineWorkingDirectory.h"

#include <QByteArray>
#include <QStringList>

#include <memory>
#include <optional>

namespace tevo {

// Whether the installation's entry program (`entryProgram`: the file a start of it would run, as
// the program search finds it; nullopt when there is none) makes this a Wine installation: true
// when it is a Windows executable and Wine can run it (`wine` found, the prefix set up, the
// locale generated), false for a Linux program or none at all, an error with WineEnvironment's
// message when it is a Windows executable that Wine cannot run here. Nothing is created, written
// or started.
Result<bool> recogniseWineInstallation(const std::optional<QByteArray>& entryProgram,
                                       const WineEnvironment& environment);

// The menu's side of a Wine installation, alive for the menu's run: its bridge (started early,
// see WineBridge::start) and the Wine-backed faces of the settings store, the working directory
// and the volume serial over it.
class WineInstallation
{
public:
    // `linuxFolder` is the working folder's text (the native store's section), `local` the
    // process's working directory, `native` the user's own store.
    WineInstallation(std::unique_ptr<WineBridge> bridge, const QString& linuxFolder,
                     const WorkingDirectory& local, SettingsStore& native,
                     const QStringList& sharedApplications);
    WineInstallation(const WineInstallation&) = delete;
    WineInstallation& operator=(const WineInstallation&) = delete;

    SettingsStore& store() { return m_store; }
    WorkingDirectory& workingDirectory() { return m_workingDirectory; }
    VolumeSerialSource& volumeSerial() { return m_volumeSerial; }

private:
    std::unique_ptr<WineBridge> m_bridge;
    BridgeWindowsView m_view;
    WineRegistryStore m_registry;
    WineSettingsStore m_store;
    WineWorkingDirectory m_workingDirectory;
    WineVolumeSerial m_volumeSerial;
};

} // namespace tevo
