#pragma once

#include "platform/SettingsStore.h"

#include <memory>

namespace tevo {

class SqliteDatabase;

// The per-user settings store in one SQLite database, shared by every program of the suite and
// by tevo-settings. Application and key are stored folded for comparison and with their first
// spelling for listing; the section is stored and compared exactly. Every write is committed
// (WAL journal, full sync) before the call returns; several processes may write at once.
//
// A database that exists but cannot be read (damaged, not a settings store, no permission, a
// link, another user's file or folder) is never modified: open() reports it with a message that
// names the file and says what to do. A store that can be read but not written (read-only file or
// folder) opens for reading, and each write then fails with such a message.
class SqliteSettingsStore : public SettingsStore
{
public:
    ~SqliteSettingsStore() override;

    // $XDG_CONFIG_HOME/tevo/settings.db, or ~/.config/tevo/settings.db.
    static QString defaultPath();
    // Opens the store at `path`, creating the file (mode 0600) and its folder (mode 0700) when
    // they are missing.
    static Result<std::unique_ptr<SqliteSettingsStore>> open(const QString& path);

    Result<std::optional<QString>> read(const QString& app, const QString& section,
                                        const QString& key) override;
    Status write(const QString& app, const QString& section, const QString& key,
                 const QString& value) override;
    // One transaction: every value is stored, or none is, with a single commit.
    Status writeAll(const QString& app, const QString& section,
                    const std::vector<std::pair<QString, QString>>& keyValues) override;
    // Values of any applications and sections in one transaction: every value is stored, or
    // none is. A value already stored under the same application, section and key is replaced.
    Status writeEntries(const std::vector<Entry>& entries);
    Status remove(const QString& app, const QString& section, const QString& key) override;

    // Moves every value of every application in section `from`, and in the folders below it
    // (`from` followed by "/"), to `to` and the same folders below it, in one transaction.
    enum class MoveOutcome
    {
        Moved,
        NothingToMove,   // no value in `from` or below it
        DestinationInUse // `to` or a folder below it holds a value: nothing was moved
    };
    struct Moved
    {
        MoveOutcome outcome;
        qint64 values = 0;
    };
    Result<Moved> moveSection(const QString& from, const QString& to);

    Result<std::vector<Entry>> list(const std::optional<QString>& app = std::nullopt,
                                    const std::optional<QString>& section = std::nullopt) override;

    const QString& path() const { return m_path; }
    bool isReadOnly() const;

private:
    SqliteSettingsStore(QString path, std::unique_ptr<SqliteDatabase> database, bool hasTable);
    // Runs `work` between BEGIN IMMEDIATE and COMMIT; rolls back when it fails.
    template <typename Work> Status inTransaction(Work work);
    Status writeStatement(const char* sql, const QString& app, const QString& section,
                          const QString& key, const QString* value);

    QString m_path;
    std::unique_ptr<SqliteDatabase> m_database;
    bool m_hasTable; // false only for an empty store opened read-only
};

} // namespace tevo
