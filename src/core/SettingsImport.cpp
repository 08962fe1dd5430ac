#include "core/SettingsImport.h"

#include "platform/RegistryExport.h"
#include "platform/SettingsExport.h"

#include <QStringList>

#include <algorithm>
#include <set>
#include <tuple>

namespace tevo {

using Entries = std::vector<SettingsStore::Entry>;

Result<Entries> SettingsImport::prepare(QByteArrayView bytes, const SectionMap& map)
{
    const bool registry = RegistryExport::recognise(bytes).has_value();
    if (!registry && !SettingsExport::recognises(bytes)) {
        return Result<Entries>::error(
            QStringLiteral("第 1 行：不是 tevo-settings 的匯出檔，也不是 Windows 登錄檔匯出檔"));
    }
    Result<Entries> read = registry ? RegistryExport::parse(bytes) : SettingsExport::read(bytes);
    if (!read)
        return read;
    Entries entries = std::move(read.value());
    QStringList unmapped;
    for (SettingsStore::Entry& entry : entries) {
        if (std::optional<QString> mapped = map.map(entry.section)) {
            entry.section = *mapped;
        } else if (registry && SectionMap::isWindowsPath(entry.section) &&
                   !unmapped.contains(entry.section, Qt::CaseInsensitive)) {
            unmapped.append(entry.section);
        }
    }
    // A folder below another unmapped one is covered by the rule that the other one needs.
    std::stable_sort(unmapped.begin(), unmapped.end(),
                     [](const QString& a, const QString& b) { return a.size() < b.size(); });
    QStringList folders;
    for (const QString& section : unmapped) {
        const bool below = std::any_of(folders.begin(), folders.end(), [&](const QString& f) {
            return section.size() > f.size() && section.startsWith(f, Qt::CaseInsensitive) &&
                   (section[f.size()] == u'\\' || section[f.size()] == u'/');
        });
        if (!below)
            folders.append(section);
    }
    if (!folders.isEmpty()) {
        return Result<Entries>::error(
            QStringLiteral("這些 Windows 資料夾沒有對應的 --map 舊資料夾=新資料夾：%1")
                .arg(folders.join(QStringLiteral("、"))));
    }
    return entries;
}

qsizetype SettingsImport::valueCount(const Entries& entries)
{
    std::set<std::tuple<QString, QString, QString>> values;
    for (const SettingsStore::Entry& entry : entries) {
        values.emplace(SettingsStore::foldedName(entry.app), entry.section,
                       SettingsStore::foldedName(entry.key));
    }
    return qsizetype(values.size());
}

qsizetype SettingsImport::sectionCount(const Entries& entries)
{
    std::set<QString> sections;
    for (const SettingsStore::Entry& entry : entries)
        sections.insert(entry.section);
    return qsizetype(sections.size());
}

} // namespace tevo
