// Microbenchmarks of the two things the menu does most per user action: applying the permission
// profile (43 keys read from a real code page 950 file into a fake view) and reading and writing
// the settings store. Each has a baseline measured in the same run:
//   - one key read from the same profile file (applying the profile reads every key afresh);
//   - the same SQL on the same database through the sqlite3 C API with statements prepared
//     once (what the store adds: preparing per call, case folding, error values);
//   - a 64-byte write and fdatasync() in the same folder (the floor of a durable commit).
// The two keys of a hand-off written as one change are measured as well.
// Files live in a temporary folder under $TMPDIR (default /tmp), on whatever disk that is.

#include "permissions/PermissionProfile.h"
#include "platform/IniProfileFiles.h"
#include "platform/SqliteSettingsStore.h"
#include "platform/TextCodec.h"
#include "support/Fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

const QString kApp = QStringLiteral("kelpan");
// The last level's section: the one that greys the most.
constexpr qint16 kLevel = 6;
const QString kLevelSection = QStringLiteral("第六級");

struct Files
{
    QTemporaryDir folder;
    tevo::LoginContext login;
    QString profile;
    std::unique_ptr<tevo::SqliteSettingsStore> store;
    QString section;
};

Files* g_files = nullptr;

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "tevo-bench-micro: %s\n", qPrintable(message));
    std::exit(2);
}

// The demo's permission profile, written as the suite writes it: code page 950, CR LF.
void writeProfile(Files& files)
{
    QFile source(QStringLiteral(TEVO_BENCH_PROFILE_SOURCE));
    if (!source.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(source.fileName()));
    QString text = QString::fromUtf8(source.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    const std::optional<QByteArray> bytes = tevo::TextCodec::encodeCp950(text);
    if (!bytes)
        fail(QStringLiteral("%1 has text without a code page 950 form").arg(source.fileName()));

    QDir(files.folder.path()).mkpath(QStringLiteral("權限"));
    files.profile = files.folder.filePath(QStringLiteral("權限/權限.INI"));
    QFile out(files.profile);
    if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size())
        fail(QStringLiteral("cannot write %1").arg(files.profile));
    files.login.profileFolder = QStringLiteral("/權限/");
    files.login.hostDirectory = files.folder.path();
    files.login.userLevel = kLevel;
    if (tevo::permissionProfilePath(files.login) != files.profile)
        fail(QStringLiteral("the login context does not name %1").arg(files.profile));
}

void BM_ApplyPermissions(benchmark::State& state)
{
    tevo::IniProfileFiles profiles;
    int greyed = 0;
    for (auto _ : state) {
        tevo::test::FakeView view;
        tevo::applyPermissions(profiles, g_files->login, view);
        greyed = int(view.disabled.size());
        benchmark::DoNotOptimize(greyed);
    }
    if (greyed == 0)
        state.SkipWithError("the profile greyed nothing: it was not read");
    state.counters["greyed"] = greyed;
}

void BM_ReadOneProfileKey(benchmark::State& state)
{
    tevo::IniProfileFiles profiles;
    QString value;
    for (auto _ : state) {
        value = profiles.readString(g_files->profile, kLevelSection, QStringLiteral("工單作業"));
        benchmark::DoNotOptimize(value);
    }
    if (value.isEmpty())
        state.SkipWithError("the key was not found");
}

void BM_StoreSet(benchmark::State& state)
{
    const QString values[] = {QStringLiteral("工單作業"), QStringLiteral("結帳登記")};
    int i = 0;
    for (auto _ : state) {
        const tevo::Status written =
            g_files->store->write(kApp, g_files->section, QStringLiteral("AT"), values[i ^= 1]);
        if (!written) {
            state.SkipWithError(qPrintable(written.message()));
            break;
        }
    }
}

// The keys of a hand-off ("AT" and "YXQ", as F1 writes them) as one change.
void BM_StoreSetHandOffKeys(benchmark::State& state)
{
    const std::vector<std::pair<QString, QString>> keys[] = {
        {{QStringLiteral("AT"), QStringLiteral("工單作業")},
         {QStringLiteral("YXQ"), QStringLiteral("A")}},
        {{QStringLiteral("AT"), QStringLiteral("結帳登記")},
         {QStringLiteral("YXQ"), QStringLiteral("B")}}};
    int i = 0;
    for (auto _ : state) {
        const tevo::Status written = g_files->store->writeAll(kApp, g_files->section, keys[i ^= 1]);
        if (!written) {
            state.SkipWithError(qPrintable(written.message()));
            break;
        }
    }
}

void BM_StoreGet(benchmark::State& state)
{
    for (auto _ : state) {
        auto value = g_files->store->read(kApp, g_files->section, QStringLiteral("AT"));
        if (!value || !value.value()) {
            state.SkipWithError("the key cannot be read");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
}

// The same database through the C API, statements prepared once, the store's pragmas.
struct RawDatabase
{
    sqlite3* handle = nullptr;
    sqlite3_stmt* select = nullptr;
    sqlite3_stmt* upsert = nullptr;

    explicit RawDatabase(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK ||
            sqlite3_exec(handle, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr) !=
                SQLITE_OK ||
            sqlite3_prepare_v2(handle,
                               "SELECT value FROM settings WHERE app_folded = ?1 AND section = ?2"
                               " AND key_folded = ?3",
                               -1, &select, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(handle,
                               "INSERT INTO settings VALUES (?1, ?2, ?3, ?4, ?5, ?6)"
                               " ON CONFLICT (app_folded, section, key_folded)"
                               " DO UPDATE SET value = excluded.value",
                               -1, &upsert, nullptr) != SQLITE_OK)
            fail(QStringLiteral("sqlite3 on %1: %2")
                     .arg(path, QString::fromUtf8(sqlite3_errmsg(handle))));
        sqlite3_busy_timeout(handle, 5000);
    }
    ~RawDatabase()
    {
        sqlite3_finalize(select);
        sqlite3_finalize(upsert);
        sqlite3_close_v2(handle);
    }
};

void bindText(sqlite3_stmt* statement, int index, const QByteArray& text)
{
    sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

void BM_RawSqliteSet(benchmark::State& state)
{
    RawDatabase raw(g_files->store->path());
    const QByteArray section = g_files->section.toUtf8();
    const QByteArray values[] = {QStringLiteral("工單作業").toUtf8(),
                                 QStringLiteral("結帳登記").toUtf8()};
    int i = 0;
    for (auto _ : state) {
        bindText(raw.upsert, 1, "kelpan");
        bindText(raw.upsert, 2, section);
        bindText(raw.upsert, 3, "at");
        bindText(raw.upsert, 4, "kelpan");
        bindText(raw.upsert, 5, "AT");
        bindText(raw.upsert, 6, values[i ^= 1]);
        const int code = sqlite3_step(raw.upsert);
        sqlite3_reset(raw.upsert);
        if (code != SQLITE_DONE) {
            state.SkipWithError(sqlite3_errmsg(raw.handle));
            break;
        }
    }
}

void BM_RawSqliteGet(benchmark::State& state)
{
    RawDatabase raw(g_files->store->path());
    const QByteArray section = g_files->section.toUtf8();
    for (auto _ : state) {
        bindText(raw.select, 1, "kelpan");
        bindText(raw.select, 2, section);
        bindText(raw.select, 3, "at");
        const int code = sqlite3_step(raw.select);
        if (code != SQLITE_ROW) {
            sqlite3_reset(raw.select);
            state.SkipWithError("the key cannot be read");
            break;
        }
        benchmark::DoNotOptimize(sqlite3_column_text(raw.select, 0));
        sqlite3_reset(raw.select);
    }
}

void BM_FdatasyncFloor(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(g_files->folder.filePath(QStringLiteral("sync")));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        state.SkipWithError("cannot create the file");
        return;
    }
    char block[64] = {};
    for (auto _ : state) {
        ++block[0];
        if (::pwrite(fd, block, sizeof block, 0) != ssize_t(sizeof block) || ::fdatasync(fd) != 0) {
            state.SkipWithError("write or fdatasync failed");
            break;
        }
    }
    ::close(fd);
}

} // namespace

BENCHMARK(BM_ApplyPermissions)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadOneProfileKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StoreSet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StoreSetHandOffKeys)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSqliteSet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FdatasyncFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StoreGet)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSqliteGet)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;

    Files files;
    if (!files.folder.isValid())
        fail(QStringLiteral("cannot make a temporary folder: %1").arg(files.folder.errorString()));
    writeProfile(files);
    auto store =
        tevo::SqliteSettingsStore::open(files.folder.filePath(QStringLiteral("settings.db")));
    if (!store)
        fail(store.error());
    files.store = std::move(store.value());
    files.section = files.folder.path();
    if (!files.store->write(kApp, files.section, QStringLiteral("AT"), QStringLiteral("工單作業")))
        fail(QStringLiteral("cannot write the store"));
    g_files = &files;

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_files = nullptr;
    return 0;
}
