#pragma once

// What tevo-settings prints for `list` and writes for `export`, shared by the user's own store
// and the Wine registry (--wine), so that both look exactly alike.

#include "platform/SettingsStore.h"

#include <QString>

#include <optional>
#include <vector>

namespace tevo {

// One line a value on standard output: APP TAB SECTION TAB KEY TAB VALUE, escaped so that every
// value is exactly one line.
void printSettingsList(const std::vector<SettingsStore::Entry>& entries);

// The export format (SettingsExport) on standard output, or in `output` (PrivateFile: a new file
// or the user's own regular file, mode 0600). The error names the file and why it was not written.
Status writeSettingsExport(const std::vector<SettingsStore::Entry>& entries,
                           const std::optional<QString>& output);

} // namespace tevo
