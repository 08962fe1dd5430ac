#include "platform/SqliteSettingsStore.h"

#include "platform/SettingsDatabaseFile.h"
#include "platform/SettingsStoreMessages.h"
#include "platform/SqliteDatabase.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <pwd.h>
#include <unistd.h>

namespace tevo {

namespace {

namespace Messages = SettingsStoreMessages;

QString fold(const QString& name)
{
    return SettingsStore::foldedName(name);
}

} // namespace

SqliteSettingsStore::SqliteSettingsStore(QString path, std::unique_ptr<SqliteDatabase> database,
                                         bool hasTable)
    : m_path(std::move(path)), m_database(std::move(database)), m_hasTable(hasTable)
{
}

SqliteSettingsStore::~SqliteSettingsStore() = default;

QString SqliteSettingsStore::defaultPath()
{
    QString base = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (!base.startsWith(u'/')) { // relative values are ignored, as the XDG rules say
        QString home = QFile::decodeName(qgetenv("HOME"));
        if (home.isEmpty()) {
            if (const passwd* user = ::getpwuid(::getuid()))
                home = QFile::decodeName(user->pw_dir);
        }
        base = home + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/tevo/settings.db");
}

Result<std::unique_ptr<SqliteSettingsStore>> SqliteSettingsStore::open(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    Result<SettingsDatabaseFile::Opened> opened = SettingsDatabaseFile::open(absolute);
    if (!opened)
        return Result<std::unique_ptr<SqliteSettingsStore>>::error(opened.status());
    return std::unique_ptr<SqliteSettingsStore>(new SqliteSettingsStore(
        absolute, std::move(opened.value().database), opened.value().hasTable));
}

bool SqliteSettingsStore::isReadOnly() const
{
    return !m_hasTable || m_database->isReadOnly();
}

Result<std::optional<QString>> SqliteSettingsStore::read(const QString& app, const QString& section,
                                                         const QString& key)
{
    using ReadResult = Result<std::optional<QString>>;
    if (!m_hasTable)
        return std::optional<QString>();
    Result<SqliteDatabase::Statement> prepared = m_database->prepare(
        "SELECT value FROM settings WHERE app_folded = ?1 AND section = ?2 AND key_folded = ?3");
    if (!prepared)
        return ReadResult::error(Messages::readFailed(m_path, prepared.status()));
    SqliteDatabase::Statement& statement = prepared.value();
    statement.bind(1, fold(app));
    statement.bind(2, section);
    statement.bind(3, fold(key));
    const Result<bool> row = statement.step();
    if (!row)
        return ReadResult::error(Messages::readFailed(m_path, row.status()));
    if (row.value())
        return std::optional<QString>(statement.columnText(0));
    return std::optional<QString>();
}

Status SqliteSettingsStore::write(const QString& app, const QString& section, const QString& key,
                                  const QString& value)
{
    // The first spelling of an application or key stays the one that list() shows.
    return writeStatement("INSERT INTO settings VALUES (?1, ?2, ?3, ?4, ?5, ?6)"
                          " ON CONFLICT (app_folded, section, key_folded)"
                          " DO UPDATE SET value = excluded.value",
                          app, section, key, &value);
}

Status SqliteSettingsStore::writeAll(const QString& app, const QString& section,
                                     const std::vector<std::pair<QString, QString>>& keyValues)
{
    if (keyValues.size() < 2)
        return SettingsStore::writeAll(app, section, keyValues);
    return inTransaction([&] {
        for (const auto& [key, value] : keyValues) {
            if (Status s = write(app, section, key, value); !s)
                return s;
        }
        return Status::ok();
    });
}

Status SqliteSettingsStore::writeEntries(const std::vector<Entry>& entries)
{
    return inTransaction([&] {
        for (const Entry& entry : entries) {
            if (Status s = write(entry.app, entry.section, entry.key, entry.value); !s)
                return s;
        }
        return Status::ok();
    });
}

template <typename Work> Status SqliteSettingsStore::inTransaction(Work work)
{
    if (!m_hasTable)
        return Status::error(Messages::readOnly(m_path));
    // IMMEDIATE takes the write lock at once (waiting for other writers as any write does), so
    // the commit cannot fail for a lock taken by another process in between.
    if (Status begun = m_database->exec("BEGIN IMMEDIATE"); !begun)
        return Status::error(Messages::writeFailed(m_path, begun));
    if (Status s = work(); !s) {
        m_database->rollback();
        return s;
    }
    if (Status committed = m_database->exec("COMMIT"); !committed) {
        m_database->rollback();
        return Status::error(Messages::writeFailed(m_path, committed));
    }
    return Status::ok();
}

Result<SqliteSettingsStore::Moved> SqliteSettingsStore::moveSection(const QString& from,
                                                                    const QString& to)
{
    // A section is in the tree of `folder` when it is the folder or starts with folder + "/".
    // substr and length count characters, as QString does not; both sides are SQLite's here.
    static constexpr char kInTree[] =
        " WHERE section = ?1 OR substr(section, 1, length(?1) + 1) = ?1 || '/'";
    Moved moved{MoveOutcome::Moved};
    const auto count = [this](const QString& folder, qint64& n) {
        Result<SqliteDatabase::Statement> statement = m_database->prepare(
            (QByteArray("SELECT count(*) FROM settings") + kInTree).constData());
        if (!statement)
            return Status::error(Messages::readFailed(m_path, statement.status()));
        statement.value().bind(1, folder);
        const Result<bool> row = statement.value().step();
        if (!row || !row.value()) {
            const Status failed =
                row ? SqliteDatabase::failure(SQLITE_ERROR, 0, "no result") : row.status();
            return Status::error(Messages::readFailed(m_path, failed));
        }
        n = statement.value().columnInt(0);
        return Status::ok();
    };
    Status status = inTransaction([&] {
        qint64 atDestination = 0;
        if (Status s = count(from, moved.values); !s || moved.values == 0) {
            moved.outcome = MoveOutcome::NothingToMove;
            return s;
        }
        if (Status s = count(to, atDestination); !s || atDestination > 0) {
            moved.outcome = MoveOutcome::DestinationInUse;
            return s;
        }
        Result<SqliteDatabase::Statement> statement = m_database->prepare(
            (QByteArray("UPDATE settings SET section = ?2 || substr(section, length(?1) + 1)") +
             kInTree)
                .constData());
        if (!statement)
            return Status::error(Messages::writeFailed(m_path, statement.status()));
        statement.value().bind(1, from);
        statement.value().bind(2, to);
        if (Status ran = statement.value().run(); !ran)
            return Status::error(Messages::writeFailed(m_path, ran));
        return Status::ok();
    });
    if (!status)
        return Result<Moved>::error(status);
    return moved;
}

Status SqliteSettingsStore::remove(const QString& app, const QString& section, const QString& key)
{
    return writeStatement(
        "DELETE FROM settings WHERE app_folded = ?1 AND section = ?2 AND key_folded = ?3", app,
        section, key, nullptr);
}

Status SqliteSettingsStore::writeStatement(const char* sql, const QString& app,
                                           const QString& section, const QString& key,
                                           const QString* value)
{
    if (!m_hasTable)
        return Status::error(Messages::readOnly(m_path));
    Result<SqliteDatabase::Statement> prepared = m_database->prepare(sql);
    if (!prepared)
        return Status::error(Messages::writeFailed(m_path, prepared.status()));
    SqliteDatabase::Statement& statement = prepared.value();
    statement.bind(1, fold(app));
    statement.bind(2, section);
    statement.bind(3, fold(key));
    if (value) {
        statement.bind(4, app);
        statement.bind(5, key);
        statement.bind(6, *value);
    }
    if (Status ran = statement.run(); !ran)
        return Status::error(Messages::writeFailed(m_path, ran));
    return Status::ok();
}

Result<std::vector<SettingsStore::Entry>>
SqliteSettingsStore::list(const std::optional<QString>& app, const std::optional<QString>& section)
{
    using ListResult = Result<std::vector<Entry>>;
    std::vector<Entry> entries;
    if (!m_hasTable)
        return entries;
    QByteArray sql = "SELECT app, section, key, value FROM settings WHERE 1";
    if (app)
        sql += " AND app_folded = ?1";
    if (section)
        sql += " AND section = ?2";
    sql += " ORDER BY app_folded, section, key_folded";
    Result<SqliteDatabase::Statement> prepared = m_database->prepare(sql.constData());
    if (!prepared)
        return ListResult::error(Messages::readFailed(m_path, prepared.status()));
    SqliteDatabase::Statement& statement = prepared.value();
    if (app)
        statement.bind(1, fold(*app));
    if (section)
        statement.bind(2, *section);
    for (;;) {
        const Result<bool> row = statement.step();
        if (!row)
            return ListResult::error(Messages::readFailed(m_path, row.status()));
        if (!row.value())
            return entries;
        entries.push_back(Entry{statement.columnText(0), statement.columnText(1),
                                statement.columnText(2), statement.columnText(3)});
    }
}

} // namespace tevo
