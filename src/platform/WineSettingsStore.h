#pragma once

#include "platform/SettingsStore.h"

#include <QString>
#include <QStringList>

namespace tevo {

class WindowsView;
class WineBridge;

// The settings store of an installation whose entry program runs under Wine. For the
// applications the menu shares with the suite's Windows programs (`sharedApplications`, compared
// without regard to case) and the working folder's section, the Wine registry is the store of
// record: there the section is the folder's Windows form, asked of Wine at the first access
// ("/srv/garage/GARVO" becomes "D:\GARVO").
// - read: from the registry only (the Windows entry program writes the login context there);
// - write and writeAll: to the registry first, then the same values to the native store under
//   the Linux section, so that the installation's Linux programs read them too. A registry write
//   that fails leaves the native store untouched and is the call's error; so is a native write
//   that fails after it (the values are then in the registry only);
// - list with the application and that section: the registry's values, reported under the
//   Linux section;
// - remove: in both stores (the registry's first).
// Every other application, section or listing goes to the native store alone.
class WineSettingsStore : public SettingsStore
{
public:
    WineSettingsStore(SettingsStore& native, SettingsStore& registry, WindowsView& view,
                      QString linuxFolder, const QStringList& sharedApplications);

    Result<std::optional<QString>> read(const QString& app, const QString& section,
                                        const QString& key) override;
    Status write(const QString& app, const QString& section, const QString& key,
                 const QString& value) override;
    Status writeAll(const QString& app, const QString& section,
                    const std::vector<std::pair<QString, QString>>& keyValues) override;
    Status remove(const QString& app, const QString& section, const QString& key) override;
    Result<std::vector<Entry>> list(const std::optional<QString>& app,
                                    const std::optional<QString>& section) override;

private:
    bool isShared(const QString& app, const QString& section) const;
    // The registry's section for the working folder, or the error of asking Wine.
    Result<QString> registrySection();

    SettingsStore& m_native;
    SettingsStore& m_registry;
    WindowsView& m_view;
    QString m_linuxFolder;
    QStringList m_sharedApplications; // folded
};

// The Wine registry's per-user program settings as a settings store, through the menu's bridge:
// sections are Windows paths. remove is refused (the bridge does not delete values), and list
// needs an application.
class WineRegistryStore : public SettingsStore
{
public:
    explicit WineRegistryStore(WineBridge& bridge) : m_bridge(bridge) {}

    Result<std::optional<QString>> read(const QString& app, const QString& section,
                                        const QString& key) override;
    Status write(const QString& app, const QString& section, const QString& key,
                 const QString& value) override;
    Status writeAll(const QString& app, const QString& section,
                    const std::vector<std::pair<QString, QString>>& keyValues) override;
    Status remove(const QString& app, const QString& section, const QString& key) override;
    Result<std::vector<Entry>> list(const std::optional<QString>& app,
                                    const std::optional<QString>& section) override;

private:
    WineBridge& m_bridge;
};

} // namespace tevo
