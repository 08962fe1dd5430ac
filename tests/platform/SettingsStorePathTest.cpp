// What the menu meets at its store's path ($XDG_CONFIG_HOME/tevo/settings.db) when that is not
// a usable store: it is refused at once with a message that names the file and says what to do,
// and nothing at the path is changed.

#include "platform/SqliteSettingsStore.h"

#include "support/ChildProcess.h"
#include "support/ProfileTestFiles.h"
#include "support/QtPrinters.h"
#include "support/ScopedProcessState.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tevo {
namespace {

using namespace std::chrono_literals;

// Every entry under `folder` with its type and, for files, a hash of its bytes, one line each.
QString fingerprint(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString line = info.filePath() + (info.isSymLink() ? " link " + info.symLinkTarget()
                                          : info.isDir()   ? QStringLiteral(" folder")
                                          : info.isFile()  ? QStringLiteral(" file ")
                                                           : QStringLiteral(" other"));
        if (info.isFile() && !info.isSymLink())
            line += QString::fromLatin1(QCryptographicHash::hash(test::fileBytes(info.filePath()),
                                                                 QCryptographicHash::Sha256)
                                            .toHex());
        entries.append(line);
    }
    entries.sort();
    return entries.join(u'\n');
}

// Opens the store as main() does, giving up after `limit`. A reader stuck on a named pipe is
// released by opening the pipe for writing, so that a hang fails the test instead of blocking it.
std::optional<Result<std::unique_ptr<SqliteSettingsStore>>>
openWithin(const QString& path, std::chrono::milliseconds limit)
{
    std::mutex mutex;
    std::condition_variable finished;
    std::optional<Result<std::unique_ptr<SqliteSettingsStore>>> outcome;
    bool done = false;
    std::thread opener([&] {
        auto opened = SqliteSettingsStore::open(path);
        const std::lock_guard lock(mutex);
        outcome.emplace(std::move(opened));
        done = true;
        finished.notify_one();
    });
    std::unique_lock lock(mutex);
    const bool inTime = finished.wait_for(lock, limit, [&] { return done; });
    lock.unlock();
    if (!inTime) {
        const int release = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        opener.join();
        if (release >= 0)
            ::close(release);
        return std::nullopt;
    }
    opener.join();
    return outcome;
}

TEST(SettingsStorePath, WhatCannotBeTheStoreIsRefusedAtOnceAndLeftAlone)
{
    const struct
    {
        const char* name;
        std::function<bool(const QString& path)> make;
        const char* what; // what the message says the thing is
        const char* todo; // and what it says to do
    } cases[] = {
        {"a folder holding a file",
         [](const QString& path) {
             return QDir().mkpath(path) && test::writeFile(path + "/note.txt", "keep me\n");
         },
         "資料夾", "移走"},
        {"a named pipe",
         [](const QString& path) {
             return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
         },
         "不是一般檔案", "移走"},
        {"a link to a device",
         [](const QString& path) { return QFile::link(QStringLiteral("/dev/null"), path); },
         "符號連結", "移走"},
        {"random bytes",
         [](const QString& path) { return test::writeFile(path, QByteArray(8192, '\x5a')); },
         "已損壞", "備份"},
    };
    for (const auto& row : cases) {
        QTemporaryDir configHome;
        ASSERT_TRUE(QDir().mkpath(configHome.filePath("tevo"))) << row.name;
        const test::ScopedEnvironment xdg("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
        const QString path = SqliteSettingsStore::defaultPath();
        ASSERT_EQ(path, configHome.filePath("tevo/settings.db")) << row.name;
        ASSERT_TRUE(row.make(path)) << row.name;
        const QString before = fingerprint(configHome.path());

        const auto opened = openWithin(path, 5s);
        ASSERT_TRUE(opened.has_value()) << row.name << ": opening did not return within 5 s";
        ASSERT_FALSE(opened->isOk()) << row.name;
        const QString message = opened->error();
        EXPECT_TRUE(message.contains(QStringLiteral("「%1」").arg(path)))
            << row.name << ": " << message;
        EXPECT_TRUE(message.contains(QString::fromUtf8(row.what))) << row.name << ": " << message;
        EXPECT_TRUE(message.contains(QString::fromUtf8(row.todo))) << row.name << ": " << message;
        EXPECT_EQ(fingerprint(configHome.path()).toStdString(), before.toStdString()) << row.name;
    }
}

// A store folder of the user's own that others may write to is made private before it is used.
TEST(SettingsStorePath, FolderThatOthersMayWriteIsMadePrivate)
{
    QTemporaryDir home;
    const QString folder = home.filePath("tevo");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
    auto opened = SqliteSettingsStore::open(folder + "/settings.db");
    ASSERT_TRUE(opened.isOk()) << opened.error();
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

// A store that can be read but not written serves its values, refuses writes with a message
// that says so, and leaves nothing beside it: a shared-memory index created while reading would
// carry the file's read-only mode and keep the store read-only after its permissions are mended.
TEST(SettingsStorePath, WriteProtectedStoreIsReadAndWritableAgainOnceMended)
{
    QTemporaryDir home;
    const QString folder = home.filePath("tevo");
    const QString path = folder + "/settings.db";
    {
        auto opened = SqliteSettingsStore::open(path);
        ASSERT_TRUE(opened.isOk()) << opened.error();
        ASSERT_TRUE(opened.value()->write("kelpan", "/srv", "mx", "/權限/"));
    }
    const QFile::Permissions readWrite = QFile::ReadOwner | QFile::WriteOwner;
    const QFile::Permissions folderAll = readWrite | QFile::ExeOwner;
    const struct
    {
        const char* name;
        QFile::Permissions folderMode;
        QFile::Permissions fileMode;
    } cases[] = {
        {"read-only file", folderAll, QFile::ReadOwner},
        {"read-only folder", QFile::ReadOwner | QFile::ExeOwner, readWrite},
        {"both read-only", QFile::ReadOwner | QFile::ExeOwner, QFile::ReadOwner},
    };
    for (const auto& row : cases) {
        ASSERT_TRUE(QFile::setPermissions(path, row.fileMode)) << row.name;
        ASSERT_TRUE(QFile::setPermissions(folder, row.folderMode)) << row.name;
        const QString before = fingerprint(folder);
        test::runWithoutPermissionOverride([&] {
            auto opened = SqliteSettingsStore::open(path);
            ASSERT_TRUE(opened.isOk()) << row.name << ": " << opened.error();
            SqliteSettingsStore& store = *opened.value();
            EXPECT_TRUE(store.isReadOnly()) << row.name;
            EXPECT_EQ(store.text("kelpan", "/srv", "MX"), "/權限/") << row.name;
            const Status written = store.write("kelpan", "/srv", "AT", "工單作業");
            ASSERT_FALSE(written) << row.name;
            EXPECT_TRUE(written.message().contains(path) && written.message().contains("唯讀"))
                << row.name << ": " << written.message();
        });
        EXPECT_EQ(fingerprint(folder).toStdString(), before.toStdString()) << row.name;

        // The administrator restores the permissions: the store takes writes again.
        ASSERT_TRUE(QFile::setPermissions(folder, folderAll)) << row.name;
        ASSERT_TRUE(QFile::setPermissions(path, readWrite)) << row.name;
        test::runWithoutPermissionOverride([&] {
            auto opened = SqliteSettingsStore::open(path);
            ASSERT_TRUE(opened.isOk()) << row.name << ": " << opened.error();
            EXPECT_FALSE(opened.value()->isReadOnly()) << row.name;
            EXPECT_TRUE(opened.value()->write("kelpan", "/srv", "AT", row.name)) << row.name;
        });
    }
}

} // namespace
} // namespace tevo
