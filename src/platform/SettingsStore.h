#pragma once

#include "platform/Result.h"

#include <QString>

#include <optional>
#include <vector>

namespace tevo {

// The per-user settings store: text values addressed by application, section and key.
// Application and key compare without regard to letter case; the section compares exactly
// (it is a folder path). A value never written is missing, which is distinct from the empty
// text. Every write is committed before the call returns.
class SettingsStore
{
public:
    struct Entry
    {
        QString app;
        QString section;
        QString key;
        QString value;
    };

    virtual ~SettingsStore() = default;

    // The stored value, std::nullopt when it was never written, or an error when the store
    // cannot be read.
    virtual Result<std::optional<QString>> read(const QString& app, const QString& section,
                                                const QString& key) = 0;
    virtual Status write(const QString& app, const QString& section, const QString& key,
                         const QString& value) = 0;
    virtual Status remove(const QString& app, const QString& section, const QString& key) = 0;
    // Every entry, or those of one application (and one section), ordered by app, section, key.
    virtual Result<std::vector<Entry>> list(const std::optional<QString>& app = std::nullopt,
                                            const std::optional<QString>& section = std::nullopt) = 0;

    // The value, or the empty text when it is missing or cannot be read: how the menu reads
    // its settings ("a key that is not there reads as empty text").
    QString text(const QString& app, const QString& section, const QString& key)
    {
        auto r = read(app, section, key);
        return r.isOk() ? r.value().value_or(QString()) : QString();
    }
};

} // namespace tevo
