#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

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

    // A failed call is an error Status: its message is SQLite's own description, its code()
    // SQLite's extended result code and its systemError() the operating-system error behind it
    // (errno, or 0).
    static Status failure(int code, int systemError, QString description)
    {
        return Status::failure(std::move(description), code, systemError);
    }
    // SQLite's primary result code of a failure (SQLITE_BUSY for every kind of SQLITE_BUSY_*).
    static int primaryCode(const Status& failure) { return failure.code() & 0xff; }

    // A prepared statement; binds values by position (1-based) and steps through rows.
    class Statement
    {
    public:
        ~Statement();
        Statement(Statement&& other) noexcept;
        Statement& operator=(Statement&&) = delete;

        void bind(int position, const QString& text);
        // Next row: true for a row, false when done, or why the statement did not finish.
        // Retries while another process holds a lock.
        Result<bool> step();
        // Steps through every row, ignoring them: for statements that return none.
        Status run();
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
    static Result<std::unique_ptr<SqliteDatabase>> open(const QByteArray& fileName, int flags,
                                                        bool uri);

    // Runs statements that return no rows, retrying while another process holds a lock.
    Status exec(const char* sql);
    // Ends the open transaction without its changes, after a failure that is reported instead.
    void rollback();
    // Prepares one statement, or says why it does not compile.
    Result<Statement> prepare(const char* sql);
    // The text of the first column of the first row of `sql` (PRAGMA queries).
    Result<QString> queryText(const char* sql);

    bool isReadOnly() const;
    Status lastFailure() const;

private:
    explicit SqliteDatabase(sqlite3* handle);
    sqlite3* m_handle;
};

} // namespace tevo
