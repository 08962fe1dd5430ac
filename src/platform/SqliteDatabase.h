#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace tevo {

// One SQLite connection through the C API: prepared statements, and a retry of statements that
// meet a lock held by another process until a deadline, so that a busy store delays a call
// instead of failing it. Single-threaded: one owner uses it at a time.
class SqliteDatabase
{
public:
    // How long a statement waits for locks held by other processes before it gives up.
    static constexpr std::chrono::milliseconds kBusyTimeout{10000};

    // What the last failed call reported: SQLite's extended result code, the operating-system
    // error behind it (errno, or 0) and SQLite's own description.
    struct Failure
    {
        int code = 0;
        int systemError = 0;
        QString description;

        int primaryCode() const { return code & 0xff; }
    };

    // A prepared statement; binds values by position (1-based) and steps through rows.
    class Statement
    {
    public:
        ~Statement();
        Statement(Statement&& other) noexcept;
        Statement& operator=(Statement&&) = delete;

        void bind(int position, const QString& text);
        // Next row: true for a row, false when done; `failure` says why when it returns false
        // and the statement did not finish. Retries while another process holds a lock.
        bool step(std::optional<Failure>& failure);
        QString columnText(int column) const;
        qint64 columnInt(int column) const;

    private:
        friend class SqliteDatabase;
        Statement(SqliteDatabase& database, sqlite3_stmt* statement);
        SqliteDatabase& m_database;
        sqlite3_stmt* m_statement;
        bool m_yieldedRows = false; // a statement that has returned rows is never restarted
    };

    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens `fileName` (a path, or a "file:" URI when `uri` is set) with sqlite3_open_v2 flags.
    // Never creates the file: callers create it themselves with the mode they want.
    static std::unique_ptr<SqliteDatabase> open(const QByteArray& fileName, int flags, bool uri,
                                                Failure& failure);

    // Runs statements that return no rows, retrying while another process holds a lock.
    std::optional<Failure> exec(const char* sql);
    // Prepares one statement; nullopt with `failure` set when it does not compile.
    std::optional<Statement> prepare(const char* sql, Failure& failure);
    // The text of the first column of the first row of `sql` (PRAGMA queries).
    std::optional<QString> queryText(const char* sql, Failure& failure);

    bool isReadOnly() const;
    Failure lastFailure() const;

private:
    explicit SqliteDatabase(sqlite3* handle);
    sqlite3* m_handle;
};

} // namespace tevo
