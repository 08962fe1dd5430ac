#include "platform/SqliteDatabase.h"

#include "platform/TextCodec.h"

#include <sqlite3.h>

#include <thread>

namespace tevo {

namespace {

using Clock = std::chrono::steady_clock;

bool isBusy(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// The busy handler of the connection waits for most locks by itself; a few conflicts in WAL
// mode (a stale read snapshot, a recovery in progress) return at once, so those are retried
// here with short pauses until the same deadline.
void pauseBeforeRetry()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

} // namespace

SqliteDatabase::SqliteDatabase(sqlite3* handle) : m_handle(handle) {}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close_v2(m_handle);
}

Result<std::unique_ptr<SqliteDatabase>> SqliteDatabase::open(const QByteArray& fileName, int flags,
                                                             bool uri)
{
    sqlite3* handle = nullptr;
    flags &= ~SQLITE_OPEN_CREATE;
    if (uri)
        flags |= SQLITE_OPEN_URI;
    const int code = sqlite3_open_v2(fileName.constData(), &handle, flags, nullptr);
    if (code != SQLITE_OK) {
        Status failed =
            failure(handle ? sqlite3_extended_errcode(handle) : code,
                    handle ? sqlite3_system_errno(handle) : 0,
                    QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(code)));
        sqlite3_close_v2(handle);
        return Result<std::unique_ptr<SqliteDatabase>>::error(std::move(failed));
    }
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, static_cast<int>(kBusyTimeout.count()));
    return std::unique_ptr<SqliteDatabase>(new SqliteDatabase(handle));
}

Status SqliteDatabase::exec(const char* sql)
{
    Result<Statement> statement = prepare(sql);
    if (!statement)
        return statement.status();
    return statement.value().run();
}

void SqliteDatabase::rollback()
{
    // Not reported: the caller reports the failure that made it roll back. Should ROLLBACK
    // itself fail (the disk gone, for one), nothing of the transaction is committed anyway:
    // SQLite has already rolled it back after an I/O, full-disk or memory error, and otherwise
    // it stays open until the connection closes, which discards it; a later BEGIN on this
    // connection then fails and reports that.
    static_cast<void>(exec("ROLLBACK"));
}

Result<SqliteDatabase::Statement> SqliteDatabase::prepare(const char* sql)
{
    const auto deadline = Clock::now() + kBusyTimeout;
    for (;;) {
        sqlite3_stmt* statement = nullptr;
        const int code = sqlite3_prepare_v2(m_handle, sql, -1, &statement, nullptr);
        if (code == SQLITE_OK)
            return Statement(*this, statement);
        if (!isBusy(code) || Clock::now() >= deadline)
            return Result<Statement>::error(lastFailure());
        pauseBeforeRetry();
    }
}

Result<QString> SqliteDatabase::queryText(const char* sql)
{
    Result<Statement> statement = prepare(sql);
    if (!statement)
        return Result<QString>::error(statement.status());
    const Result<bool> row = statement.value().step();
    if (!row)
        return Result<QString>::error(row.status());
    if (!row.value())
        return Result<QString>::error(failure(SQLITE_ERROR, 0, QStringLiteral("no result")));
    return statement.value().columnText(0);
}

bool SqliteDatabase::isReadOnly() const
{
    return sqlite3_db_readonly(m_handle, "main") == 1;
}

Status SqliteDatabase::lastFailure() const
{
    return failure(sqlite3_extended_errcode(m_handle), sqlite3_system_errno(m_handle),
                   QString::fromUtf8(sqlite3_errmsg(m_handle)));
}

SqliteDatabase::Statement::Statement(SqliteDatabase& database, sqlite3_stmt* statement)
    : m_database(database), m_statement(statement)
{
}

SqliteDatabase::Statement::Statement(Statement&& other) noexcept
    : m_database(other.m_database), m_statement(other.m_statement),
      m_yieldedRows(other.m_yieldedRows)
{
    other.m_statement = nullptr;
}

SqliteDatabase::Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

void SqliteDatabase::Statement::bind(int position, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(m_statement, position, utf8.constData(), static_cast<int>(utf8.size()),
                      SQLITE_TRANSIENT);
}

Result<bool> SqliteDatabase::Statement::step()
{
    const auto deadline = Clock::now() + kBusyTimeout;
    for (;;) {
        const int code = sqlite3_step(m_statement);
        if (code == SQLITE_ROW) {
            m_yieldedRows = true;
            return true;
        }
        const bool mayRetry = isBusy(code) && !m_yieldedRows && Clock::now() < deadline;
        // Read before the reset, which would replace the connection's error.
        const Status failed = code == SQLITE_DONE ? Status::ok() : m_database.lastFailure();
        sqlite3_reset(m_statement);
        m_yieldedRows = false;
        if (code == SQLITE_DONE)
            return false;
        if (!mayRetry)
            return Result<bool>::error(failed);
        pauseBeforeRetry();
    }
}

Status SqliteDatabase::Statement::run()
{
    for (;;) {
        const Result<bool> row = step();
        if (!row)
            return row.status();
        if (!row.value())
            return Status::ok();
    }
}

QString SqliteDatabase::Statement::columnText(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return TextCodec::decodeUtf8(QByteArrayView(text, sqlite3_column_bytes(m_statement, column)));
}

qint64 SqliteDatabase::Statement::columnInt(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

} // namespace tevo
