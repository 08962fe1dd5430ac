#include "platform/SettingsDatabaseFile.h"

#include "platform/SettingsStoreMessages.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo {

namespace {

using OpenResult = Result<SettingsDatabaseFile::Opened>;
namespace Messages = SettingsStoreMessages;

// Marks a database as this store ("TEVO"), so that another program's database that happens to
// lie at the store's path is refused instead of being written into.
constexpr int kApplicationId = 0x5445564F;

constexpr const char* kCreateTable =
    "CREATE TABLE settings ("
    " app_folded TEXT NOT NULL, section TEXT NOT NULL, key_folded TEXT NOT NULL,"
    " app TEXT NOT NULL, key TEXT NOT NULL, value TEXT NOT NULL,"
    " PRIMARY KEY (app_folded, section, key_folded)) WITHOUT ROWID";

// Creates each missing folder of `folder` with mode 0700 (the store is private to its user).
int makeFolders(const QByteArray& folder)
{
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.left(slash);
        if (::mkdir(part.constData(), 0700) == 0)
            ::chmod(part.constData(), 0700);
        else if (errno != EEXIST)
            return errno;
        if (slash < 0)
            return 0;
    }
}

// The name of the user `uid`, or its number when it has none.
QString userName(uid_t uid)
{
    if (const passwd* user = ::getpwuid(uid))
        return QString::fromLocal8Bit(user->pw_name);
    return QString::number(uid);
}

// Creates the store's folder (mode 0700) when it is missing and checks that it is the user's
// own: a symbolic link, or a folder of another user, could lead the store's writes into
// somebody else's files or let them be read. A folder of the user's own that others may write
// to is made private (0700). Returns an empty text or the message for the user.
QString prepareFolder(const QString& absolute)
{
    const QString folderPath = QFileInfo(absolute).absolutePath();
    const QByteArray folder = QFile::encodeName(folderPath);
    struct stat info;
    if (::lstat(folder.constData(), &info) != 0) {
        if (errno != ENOENT)
            return Messages::cannotCreate(absolute, errno);
        if (const int error = makeFolders(folder))
            return Messages::cannotCreate(absolute, error);
        if (::lstat(folder.constData(), &info) != 0)
            return Messages::cannotCreate(absolute, errno);
    }
    if (S_ISLNK(info.st_mode))
        return Messages::isLink(folderPath, true);
    if (!S_ISDIR(info.st_mode))
        return QString(); // the store file cannot be created there; reported as such below
    if (info.st_uid != ::geteuid())
        return Messages::ofAnotherUser(folderPath, true, userName(info.st_uid));
    // Where this fails (a read-only filesystem) nobody can write to the folder either.
    if ((info.st_mode & 022) != 0)
        ::chmod(folder.constData(), 0700);
    return QString();
}

// Creates an empty store file with mode 0600 unless something exists at its path (which the
// caller then checks). Returns 0 or an errno.
int createFileIfMissing(const QByteArray& file)
{
    struct stat info;
    if (::lstat(file.constData(), &info) == 0)
        return 0;
    if (errno != ENOENT)
        return errno;
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno == EEXIST ? 0 : errno;
    ::fchmod(fd, 0600);
    ::close(fd);
    return 0;
}

// What a connection found in the database: this store, an empty database that can become it,
// or something else.
enum class Content
{
    Store,
    Empty,
    Foreign
};

Result<Content> inspect(SqliteDatabase& database)
{
    const Result<QString> check = database.queryText("PRAGMA quick_check");
    if (!check)
        return Result<Content>::error(check.status());
    if (check.value() != QLatin1String("ok"))
        return Result<Content>::error(SqliteDatabase::failure(SQLITE_CORRUPT, 0, check.value()));
    const Result<QString> id = database.queryText("PRAGMA application_id");
    const Result<QString> objects = database.queryText("SELECT count(*) FROM sqlite_master");
    if (!objects)
        return Result<Content>::error(objects.status());
    if (!id)
        return Result<Content>::error(id.status());
    if (id.value().toInt() == kApplicationId)
        return Content::Store;
    return (id.value().toInt() == 0 && objects.value().toInt() == 0) ? Content::Empty
                                                                     : Content::Foreign;
}

// inspect() in one read transaction, so that its answers describe one state of the file: read
// by separate statements, the identifier could come from the empty database and the count of
// objects from the store that another process made of it in between, which looks foreign.
Result<Content> inspectOneState(SqliteDatabase& database)
{
    if (Status begun = database.exec("BEGIN"); !begun)
        return Result<Content>::error(begun);
    const Result<Content> found = inspect(database);
    // The transaction only read: ending it releases the snapshot, and the answers stand
    // whatever ROLLBACK says.
    database.rollback();
    return found;
}

bool pathExists(const QByteArray& path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0;
}

// Opens the file for reading only and checks what it holds, without writing a byte. A store
// that cannot be written is opened as immutable while no write-ahead log lies beside it (all
// of its content is then in the file), so that nothing is created beside it: a shared-memory
// index made here would carry the file's read-only mode and keep the store read-only after
// its permissions are mended. Otherwise it is opened normally; a WAL database in a folder where
// the shared-memory index cannot be set up is then opened as immutable after all: nobody can
// write it there either.
using OpenedDatabase = Result<std::unique_ptr<SqliteDatabase>>;

OpenedDatabase openForInspection(const QByteArray& file, bool folderWritable, bool storeWritable,
                                 Content& content)
{
    const bool immutableFirst = !storeWritable && !pathExists(file + "-wal");
    Status failure = Status::ok();
    for (const bool immutable : {immutableFirst, true}) {
        const QByteArray name =
            immutable ? "file:" + file.toPercentEncoding("/") + "?immutable=1" : file;
        OpenedDatabase database = SqliteDatabase::open(name, SQLITE_OPEN_READONLY, immutable);
        if (!database)
            return database;
        const Result<Content> found = inspectOneState(*database.value());
        if (found) {
            content = found.value();
            return database;
        }
        failure = found.status();
        const int primary = SqliteDatabase::primaryCode(failure);
        if (immutable || folderWritable ||
            (primary != SQLITE_CANTOPEN && primary != SQLITE_READONLY))
            break;
    }
    return OpenedDatabase::error(failure);
}

// Turns an empty database into the store, unless another process did so meanwhile.
Status initialise(SqliteDatabase& database, Content& content)
{
    if (Status begun = database.exec("BEGIN IMMEDIATE"); !begun)
        return begun;
    Result<Content> now = inspect(database);
    if (now && now.value() == Content::Empty) {
        const QByteArray markId = "PRAGMA application_id = " + QByteArray::number(kApplicationId);
        for (const char* sql : {kCreateTable, markId.constData(), "PRAGMA user_version = 1"}) {
            if (Status done = database.exec(sql); !done) {
                database.rollback();
                return done;
            }
        }
        now = Content::Store;
    }
    if (!now) {
        database.rollback();
        return now.status();
    }
    content = now.value();
    // Another process's database is left untouched: ROLLBACK ends a transaction that changed
    // nothing, and its result is reported like COMMIT's.
    return database.exec(content == Content::Store ? "COMMIT" : "ROLLBACK");
}

// A read-only connection to a WAL database creates an empty "-wal" and a "-shm" file beside it.
// When the database turns out to be unusable, the files that this call added are taken away
// again, so that the folder is left as it was found.
class CompanionFiles
{
public:
    explicit CompanionFiles(const QByteArray& file)
        : m_wal(file + "-wal"), m_shm(file + "-shm"), m_hadWal(pathExists(m_wal)),
          m_hadShm(pathExists(m_shm))
    {
    }
    void removeAdded() const
    {
        struct stat info;
        if (m_hadWal || m_hadShm || ::stat(m_wal.constData(), &info) != 0 || info.st_size != 0)
            return;
        ::unlink(m_wal.constData());
        ::unlink(m_shm.constData());
    }

private:
    QByteArray m_wal;
    QByteArray m_shm;
    bool m_hadWal;
    bool m_hadShm;
};

// Makes the folder and the file when they are missing, and checks that the file can be the
// store: a regular file of the user's own. Returns the message for the user otherwise.
QString prepareStoreFile(const QString& absolute, const QByteArray& file)
{
    if (const QString refused = prepareFolder(absolute); !refused.isEmpty())
        return refused;
    if (const int error = createFileIfMissing(file))
        return Messages::cannotCreate(absolute, error);
    // O_NONBLOCK: a named pipe in the file's place must not keep the menu waiting for a writer
    // that never comes.
    const int fd =
        ::open(file.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ELOOP)
            return Messages::isLink(absolute, false);
        return Messages::cannotRead(absolute, errno);
    }
    struct stat info;
    const int statError = ::fstat(fd, &info) == 0 ? 0 : errno;
    ::close(fd);
    if (statError != 0)
        return Messages::cannotRead(absolute, statError);
    if (!S_ISREG(info.st_mode))
        return Messages::notAFile(absolute, S_ISDIR(info.st_mode));
    if (info.st_uid != ::geteuid())
        return Messages::ofAnotherUser(absolute, false, userName(info.st_uid));
    return QString();
}

} // namespace

OpenResult SettingsDatabaseFile::open(const QString& absolute)
{
    const QByteArray file = QFile::encodeName(absolute);
    const QByteArray folder = QFile::encodeName(QFileInfo(absolute).absolutePath());
    if (const QString refused = prepareStoreFile(absolute, file); !refused.isEmpty())
        return OpenResult::error(refused);

    // Asked with the identity that opens the files (the effective one), as open() would answer.
    const bool folderWritable = ::faccessat(AT_FDCWD, folder.constData(), W_OK, AT_EACCESS) == 0;
    const bool storeWritable =
        folderWritable && ::faccessat(AT_FDCWD, file.constData(), W_OK, AT_EACCESS) == 0;
    Content content = Content::Empty;
    const CompanionFiles companions(file);
    OpenedDatabase reader = openForInspection(file, folderWritable, storeWritable, content);
    if (!reader || content == Content::Foreign) {
        const Status failure = reader.status();
        if (reader)
            reader.value().reset();
        companions.removeAdded();
        return OpenResult::error(content == Content::Foreign
                                     ? Messages::notAStore(absolute)
                                     : Messages::readFailed(absolute, failure));
    }

    if (!storeWritable)
        return Opened{std::move(reader.value()), content == Content::Store};
    reader.value().reset();

    OpenedDatabase opened = SqliteDatabase::open(file, SQLITE_OPEN_READWRITE, false);
    if (!opened)
        return OpenResult::error(Messages::readFailed(absolute, opened.status()));
    std::unique_ptr<SqliteDatabase>& database = opened.value();
    // WAL lets readers and one writer work at once. NORMAL: a commit is in the WAL file when the
    // call returns, so it survives the program ending at once (the hand-off's exit) or being
    // killed; only a power cut can take the last commits back, never the store's consistency.
    // FULL would add an fdatasync to every commit (0.1 ms on a quiet disk, tens of ms on a busy
    // one), paid on every hand-off.
    const Result<QString> mode = database->queryText("PRAGMA journal_mode = WAL");
    if (!mode)
        return OpenResult::error(Messages::readFailed(absolute, mode.status()));
    if (Status synced = database->exec("PRAGMA synchronous = NORMAL"); !synced)
        return OpenResult::error(Messages::readFailed(absolute, synced));
    if (content == Content::Empty) {
        if (Status initialised = initialise(*database, content); !initialised)
            return OpenResult::error(Messages::writeFailed(absolute, initialised));
        if (content == Content::Foreign)
            return OpenResult::error(Messages::notAStore(absolute));
    }
    return Opened{std::move(database), true};
}

} // namespace tevo
