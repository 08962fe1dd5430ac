#include "platform/WineSettingsStore.h"

#include "platform/WindowsView.h"
#include "platform/WineBridge.h"

namespace tevo {

WineSettingsStore::WineSettingsStore(SettingsStore& native, SettingsStore& registry,
                                     WindowsView& view, QString linuxFolder,
                                     const QStringList& sharedApplications)
    : m_native(native), m_registry(registry), m_view(view), m_linuxFolder(std::move(linuxFolder))
{
    for (const QString& app : sharedApplications)
        m_sharedApplications.append(foldedName(app));
}

bool WineSettingsStore::isShared(const QString& app, const QString& section) const
{
    // An empty folder (one that could not be read) is never the working folder's section.
    return !m_linuxFolder.isEmpty() && section == m_linuxFolder &&
           m_sharedApplications.contains(foldedName(app));
}

Result<QString> WineSettingsStore::registrySection()
{
    Result<QString> folder = m_view.currentFolder();
    if (folder && folder.value().isEmpty())
        return Result<QString>::error(
            QStringLiteral("Wine 沒有說出資料夾「%1」在 Windows 中的名稱。").arg(m_linuxFolder));
    return folder;
}

Result<std::optional<QString>> WineSettingsStore::read(const QString& app, const QString& section,
                                                       const QString& key)
{
    if (!isShared(app, section))
        return m_native.read(app, section, key);
    const Result<QString> windows = registrySection();
    if (!windows)
        return Result<std::optional<QString>>::error(windows.error());
    return m_registry.read(app, windows.value(), key);
}

Status WineSettingsStore::write(const QString& app, const QString& section, const QString& key,
                                const QString& value)
{
    return writeAll(app, section, {{key, value}});
}

Status WineSettingsStore::writeAll(const QString& app, const QString& section,
                                   const std::vector<std::pair<QString, QString>>& keyValues)
{
    if (!isShared(app, section))
        return m_native.writeAll(app, section, keyValues);
    const Result<QString> windows = registrySection();
    if (!windows)
        return windows.status();
    if (Status s = m_registry.writeAll(app, windows.value(), keyValues); !s)
        return s;
    return m_native.writeAll(app, section, keyValues);
}

Status WineSettingsStore::remove(const QString& app, const QString& section, const QString& key)
{
    if (!isShared(app, section))
        return m_native.remove(app, section, key);
    const Result<QString> windows = registrySection();
    if (!windows)
        return windows.status();
    if (Status s = m_registry.remove(app, windows.value(), key); !s)
        return s;
    return m_native.remove(app, section, key);
}

Result<std::vector<SettingsStore::Entry>>
WineSettingsStore::list(const std::optional<QString>& app, const std::optional<QString>& section)
{
    if (!app || !section || !isShared(*app, *section))
        return m_native.list(app, section);
    const Result<QString> windows = registrySection();
    if (!windows)
        return Result<std::vector<Entry>>::error(windows.error());
    Result<std::vector<Entry>> entries = m_registry.list(app, windows.value());
    if (entries) {
        for (Entry& entry : entries.value())
            entry.section = m_linuxFolder;
    }
    return entries;
}

Result<std::optional<QString>> WineRegistryStore::read(const QString& app, const QString& section,
                                                       const QString& key)
{
    return m_bridge.read(app, section, key);
}

Status WineRegistryStore::write(const QString& app, const QString& section, const QString& key,
                                const QString& value)
{
    return m_bridge.write(app, section, key, value);
}

Status WineRegistryStore::writeAll(const QString& app, const QString& section,
                                   const std::vector<std::pair<QString, QString>>& keyValues)
{
    // One request: a Windows module started right after finds every key.
    return m_bridge.writeAll(app, section, keyValues);
}

Status WineRegistryStore::remove(const QString& app, const QString& section, const QString& key)
{
    return Status::error(
        QStringLiteral("無法刪除 Windows 登錄中的設定「%1\\%2\\%3」：請以 regedit 處理。")
            .arg(app, section, key));
}

Result<std::vector<SettingsStore::Entry>>
WineRegistryStore::list(const std::optional<QString>& app, const std::optional<QString>& section)
{
    if (!app)
        return Result<std::vector<Entry>>::error(
            QStringLiteral("列出 Windows 登錄中的設定需要指定應用程式名稱。"));
    if (!section)
        return m_bridge.list(*app);
    const auto values = m_bridge.values(*app, *section);
    if (!values)
        return Result<std::vector<Entry>>::error(values.error());
    std::vector<Entry> entries;
    for (const auto& [key, value] : values.value())
        entries.push_back(Entry{*app, *section, key, value});
    return entries;
}

} // namespace tevo
