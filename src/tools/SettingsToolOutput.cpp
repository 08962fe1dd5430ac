#include "tools/SettingsToolOutput.h"

#include "core/CommandLineTool.h"
#include "core/SettingsExport.h"
#include "platform/EscapedText.h"
#include "platform/PrivateFile.h"

#include <cstdio>

namespace tevo {

void printSettingsList(const std::vector<SettingsStore::Entry>& entries)
{
    // One line per value whatever it holds, escaped as the export escapes its fields: a notice
    // from the vendor's server is stored as it came, and neither a line break nor an escape
    // sequence in it may pass for further lines or act on the terminal.
    const auto field = [](const QString& text) {
        return EscapedText::escape(text, EscapedText::Backslash::Doubled);
    };
    for (const SettingsStore::Entry& entry : entries) {
        writeUtf8(stdout, field(entry.app) + u'\t' + field(entry.section) + u'\t' +
                              field(entry.key) + u'\t' + field(entry.value) + u'\n');
    }
}

Status writeSettingsExport(const std::vector<SettingsStore::Entry>& entries,
                           const std::optional<QString>& output)
{
    const QByteArray text = SettingsExport::write(entries);
    if (!output) {
        writeBytes(stdout, text);
        return Status::ok();
    }
    // Private to the user, as the store itself is; standard output writes anywhere else.
    return PrivateFile::write(*output, text);
}

} // namespace tevo
