#include "tools/SettingsToolOutput.h"

#include "core/CommandLineTool.h"
#include "platform/SettingsExport.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace tevo {

void printSettingsList(const std::vector<SettingsStore::Entry>& entries)
{
    // One line per value whatever it holds: a value with a line break (a notice from the
    // vendor's server is stored as it came) must not pass for further lines of the list.
    const auto field = &SettingsExport::escapeLineBreaks;
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
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        return Status::ok();
    }
    // Written whole or not at all, and private to the user, as the store itself is.
    QSaveFile file(*output);
    const bool existed = QFile::exists(*output);
    if (!file.open(QIODevice::WriteOnly) ||
        (!existed && !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) ||
        file.write(text) != text.size() || !file.commit()) {
        return Status::error(QStringLiteral("無法寫入「%1」：%2").arg(*output, file.errorString()));
    }
    return Status::ok();
}

} // namespace tevo
