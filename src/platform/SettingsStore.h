#pragma once

#include "platform/Result.h"

#include <QString>

#include <optional>
#include <utility>
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

    // An application or key name as it compares: two names with the same folded form address
    // the same value.
    static QString foldedName(const QString& name) { return name.toCaseFolded(); }

    // The stored value, std::nullopt when it was never written, or an error when the store
    // cannot be read.
    virtual Result<std::optional<QString>> read(const QString& app, const QString& section,
                                                const QString& key) = 0;
    virtual Status write(const QString& app, const QString& section, const QString& key,
                         const QString& value) = 0;
    // Several keys of one application and section, written in the order given. This default
    // writes them one by one and stops at the first failure; a store that can commit them as
    // one change (all or none, one commit) does so.
    virtual Status writeAll(const QString& app, const QString& section,
                            const std::vector<std::pair<QString, QString>>& keyValues)
    {
        for (const auto& [key, value] : keyValues) {
            if (Status s = write(app, section, key, value); !s)
                return s;
        }
        return Status::ok();
    }
    virtual Status remove(const QString& app, const QString& section, const QString& key) = 0;
    // Every entry, or those of one application (and one section), ordered by app, section, key.
    virtual Result<std::vector<Entry>>
    list(const std::optional<QString>& app = std::nullopt,
         const std::optional<QString>& section = std::nullopt) = 0;

    // The value, or the empty text when it is missing or cannot be read: how the menu reads
    // settings whose loss only costs a value (notice, versions). The login context uses read(),
    // since an unreadable level must not read as level 0.
    QString text(const QString& app, const QString& section, const QString& key)
    {
        auto r = read(app, section, key);
        return r.isOk() ? r.value().value_or(QString()) : QString();
    }
};

} // namespace tevo
