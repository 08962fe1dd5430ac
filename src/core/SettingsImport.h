#pragma once

#include "core/SectionMap.h"
#include "platform/Result.h"
#include "platform/SettingsStore.h"

#include <QByteArrayView>

#include <vector>

namespace tevo {

// What an import file would write: the file read as an export of ours (SettingsExport) or as a
// Windows registry export (RegistryExport), told apart by its first line, and every section
// passed through the map rules.
//
// A registry export is refused when a section that is a Windows path has no rule, naming every
// such folder: a Windows path is never stored as a Linux section by accident. Nothing of a
// refused file is returned.
namespace SettingsImport {

// Larger than the export of any real store by far; an input beyond it is not read on.
inline constexpr qsizetype kLargestInput = qsizetype(256) * 1024 * 1024;

Result<std::vector<SettingsStore::Entry>> prepare(QByteArrayView bytes, const SectionMap& map);
// How many values the entries store: a key given twice (letter case aside) is one value.
qsizetype valueCount(const std::vector<SettingsStore::Entry>& entries);
// How many different sections the entries fill.
qsizetype sectionCount(const std::vector<SettingsStore::Entry>& entries);

} // namespace SettingsImport

} // namespace tevo
