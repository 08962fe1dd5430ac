#include "platform/SqliteSettingsStore.h"

#include "support/ChildProcess.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>
#include <set>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tevo {
namespace {

using test::fileBytes;
using test::writeFile;

std::unique_ptr<SqliteSettingsStore> openStore(const QString& path)
{
    auto opened = SqliteSettingsStore::open(path);
    EXPECT_TRUE(opened.isOk()) << opened.error().toStdString();
    return opened ? std::move(opened.value()) : nullptr;
}

TEST(SqliteSettingsStore, ApplicationAndKeyIgnoreCaseSectionIsExact)
{
    QTemporaryDir home;
    auto store = openStore(home.filePath("tevo/settings.db"));
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->write("kelpan", "/srv/Garage", "mx", "甲"));
    ASSERT_TRUE(store->write("KELPAN", "/srv/Garage", "公司名稱", "乙"));
    ASSERT_TRUE(store->write("EEYX", "/srv/garage", "GR", "丙"));

    const struct
    {
        const char* app;
        const char* section;
        const char* key;
        std::optional<QString> expected;
    } cases[] = {
        {"kelpan", "/srv/Garage", "mx", "甲"},
        {"KELPAN", "/srv/Garage", "MX", "甲"},
        {"KelPan", "/srv/Garage", "Mx", "甲"},
        {"kelpan", "/srv/garage", "mx", std::nullopt},
        {"kelpan", "/srv/Garage/", "mx", std::nullopt},
        {"kelpan", "/srv/Garage", "公司名稱", "乙"},
        {"eeyx", "/srv/garage", "gr", "丙"},
        {"eeyx", "/srv/Garage", "gr", std::nullopt},
        {"kelpan", "/srv/Garage", "m", std::nullopt},
        {"kelpa", "/srv/Garage", "mx", std::nullopt},
    };
    for (const auto& row : cases) {
        const auto read = store->read(QString::fromUtf8(row.app), QString::fromUtf8(row.section),
                                      QString::fromUtf8(row.key));
        ASSERT_TRUE(read.isOk()) << row.app << " " << row.section << " " << row.key;
        EXPECT_EQ(read.value(), row.expected) << row.app << " " << row.section << " " << row.key;
    }
}

TEST(SqliteSettingsStore, EmptyTextIsAValueAndValuesSurviveReopening)
{
    QTemporaryDir home;
    const QString path = home.filePath("cfg/tevo/settings.db");
    {
        auto store = openStore(path);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->write("kelpan", "/srv", "ATU", ""));
        ASSERT_TRUE(store->write("kelpan", "/srv", "YXQ", "A"));
        ASSERT_TRUE(store->write("kelpan", "/srv", "yxq", "B"));
        ASSERT_TRUE(store->write("kelpan", "/srv", "WE", "第一行\n\t第二行 "));
        ASSERT_TRUE(store->write("kelpan", "/srv", "gone", "x"));
        ASSERT_TRUE(store->remove("KELPAN", "/srv", "GONE"));
        ASSERT_TRUE(store->remove("kelpan", "/srv", "never-written"));
    }
    auto store = openStore(path);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->read("kelpan", "/srv", "ATU").value(), std::optional<QString>(""));
    EXPECT_EQ(store->read("kelpan", "/srv", "YXQ").value(), std::optional<QString>("B"));
    EXPECT_EQ(store->read("kelpan", "/srv", "WE").value(),
              std::optional<QString>("第一行\n\t第二行 "));
    EXPECT_EQ(store->read("kelpan", "/srv", "gone").value(), std::nullopt);

    // The store is private to its user.
    for (const auto& [file, mode] :
         {std::pair{path, 0600}, {home.filePath("cfg/tevo"), 0700}, {home.filePath("cfg"), 0700}}) {
        struct stat info;
        ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0) << file.toStdString();
        EXPECT_EQ(info.st_mode & 0777, static_cast<mode_t>(mode)) << file.toStdString();
    }
}

TEST(SqliteSettingsStore, ListIsOrderedAndFilteredKeepingTheFirstSpelling)
{
    QTemporaryDir home;
    auto store = openStore(home.filePath("settings.db"));
    ASSERT_TRUE(store);
    const char* writes[][4] = {
        {"kelpan", "/b", "YXQ", "A"}, {"EEYX", "/a", "GR", "1"},    {"KELPAN", "/a", "mx", "p"},
        {"kelpan", "/a", "AT", "t"},  {"kelpan", "/b", "yxq", "B"}, {"eeyx", "/a", "gr", "2"},
    };
    for (const auto& w : writes)
        ASSERT_TRUE(store->write(w[0], w[1], w[2], w[3]));

    const struct
    {
        std::optional<QString> app;
        std::optional<QString> section;
        QStringList expected;
    } cases[] = {
        {std::nullopt,
         std::nullopt,
         {"EEYX|/a|GR|2", "kelpan|/a|AT|t", "KELPAN|/a|mx|p", "kelpan|/b|YXQ|B"}},
        {"Kelpan", std::nullopt, {"kelpan|/a|AT|t", "KELPAN|/a|mx|p", "kelpan|/b|YXQ|B"}},
        {"kelpan", "/b", {"kelpan|/b|YXQ|B"}},
        {"kelpan", "/B", {}},
        {"nobody", std::nullopt, {}},
    };
    for (const auto& row : cases) {
        const auto listed = store->list(row.app, row.section);
        ASSERT_TRUE(listed.isOk());
        QStringList lines;
        for (const auto& e : listed.value())
            lines.append(QStringList{e.app, e.section, e.key, e.value}.join(u'|'));
        EXPECT_EQ(lines, row.expected) << row.app.value_or("*").toStdString() << " "
                                       << row.section.value_or("*").toStdString();
    }
}

TEST(SqliteSettingsStore, DefaultPathFollowsXdgConfigHome)
{
    const QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedHome = qgetenv("HOME");
    const struct
    {
        const char* xdg; // nullptr: unset
        const char* home;
        const char* expected;
    } cases[] = {
        {"/x/cfg", "/home/u", "/x/cfg/tevo/settings.db"},
        {nullptr, "/home/u", "/home/u/.config/tevo/settings.db"},
        {"", "/home/u", "/home/u/.config/tevo/settings.db"},
        {"relative/cfg", "/home/u", "/home/u/.config/tevo/settings.db"},
        {"/保養廠/設定", "/home/u", "/保養廠/設定/tevo/settings.db"},
    };
    for (const auto& row : cases) {
        if (row.xdg)
            qputenv("XDG_CONFIG_HOME", row.xdg);
        else
            qunsetenv("XDG_CONFIG_HOME");
        qputenv("HOME", row.home);
        EXPECT_EQ(SqliteSettingsStore::defaultPath(), QString::fromUtf8(row.expected))
            << (row.xdg ? row.xdg : "(unset)");
    }
    qputenv("XDG_CONFIG_HOME", savedXdg);
    if (savedXdg.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", savedHome);
}

// A database file of another program at the store's path.
QByteArray foreignDatabase(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder + "/foreign.db");
    sqlite3* db = nullptr;
    sqlite3_open(path.constData(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE orders(id INTEGER PRIMARY KEY, total TEXT);"
                 "INSERT INTO orders(total) VALUES ('100')",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return fileBytes(QFile::decodeName(path));
}

// A real store whose table pages were overwritten: the header is intact, the content is not.
QByteArray storeWithDamagedPages(const QString& folder)
{
    const QString path = folder + "/real.db";
    {
        auto store = openStore(path);
        for (int i = 0; i < 300; ++i)
            EXPECT_TRUE(store->write("kelpan", "/srv", QString("key%1").arg(i), QString(40, u'v')));
    }
    QByteArray bytes = fileBytes(path);
    for (qsizetype i = 4096; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 37) & 0xff);
    return bytes;
}

TEST(SqliteSettingsStore, UnreadableStoreIsReportedAndLeftByteForByte)
{
    QTemporaryDir work;
    std::mt19937 random(7);
    QByteArray garbage(8192, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    QByteArray badHeader = "SQLite format 3";
    badHeader.append('\0').append(QByteArray(84, '\xff'));

    const struct
    {
        const char* name;
        QByteArray bytes;
        const char* expectedPhrase;
    } cases[] = {
        {"random bytes", garbage, "已損壞"},
        {"an INI file", "[kelpan]\r\nmx=1\r\n", "已損壞"},
        {"a header with nothing behind it", badHeader, "已損壞"},
        {"a damaged store", storeWithDamagedPages(work.path()), "已損壞"},
        {"another program's database", foreignDatabase(work.path()), "不是 Tevo 的設定檔"},
    };
    for (const auto& row : cases) {
        QTemporaryDir home;
        const QString path = home.filePath("settings.db");
        ASSERT_TRUE(writeFile(path, row.bytes)) << row.name;
        const auto opened = SqliteSettingsStore::open(path);
        ASSERT_FALSE(opened.isOk()) << row.name;
        EXPECT_TRUE(opened.error().contains(path)) << row.name;
        EXPECT_TRUE(opened.error().contains(QString::fromUtf8(row.expectedPhrase)))
            << row.name << ": " << opened.error().toStdString();
        EXPECT_TRUE(opened.error().contains("備份")) << row.name;
        EXPECT_EQ(fileBytes(path), row.bytes) << row.name;
        EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"settings.db"}) << row.name;
    }
}

// The body of a forked writer: runs `count` commands from `first` one after the other, each
// with the environment `envp`, and ends the process: 0 when every one succeeded.
[[noreturn]] void runWriter(std::vector<std::vector<QByteArray>>::iterator first, int count,
                            std::vector<char*>& envp)
{
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        std::vector<QByteArray>& command = first[i];
        std::vector<char*> argv;
        for (QByteArray& a : command)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t tool;
        int status = 0;
        if (::posix_spawn(&tool, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0 ||
            ::waitpid(tool, &status, 0) != tool || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            ++failures;
    }
    ::_exit(failures > 0 ? 1 : 0);
}

TEST(SqliteSettingsStore, WritesFromConcurrentProcessesAreAllKept)
{
    constexpr int kWriters = 4;
    constexpr int kWritesEach = 200;
    QTemporaryDir home;
    const QByteArray configHome = "XDG_CONFIG_HOME=" + QFile::encodeName(home.path());

    std::vector<QByteArray> environment{configHome};
    for (char** e = environ; *e; ++e) {
        if (!QByteArray(*e).startsWith("XDG_CONFIG_HOME="))
            environment.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (QByteArray& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    // Prepared before forking: the writers only spawn and wait.
    std::vector<std::vector<QByteArray>> commands;
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int i = 0; i < kWritesEach; ++i) {
            commands.push_back({TEVO_SETTINGS_TOOL, "set", "kelpan",
                                QByteArray("key-%1-%2")
                                    .replace("%1", QByteArray::number(writer))
                                    .replace("%2", QByteArray::number(i)),
                                QByteArray::number(writer * 1000 + i), "--section", "/srv/suite"});
        }
    }
    std::vector<pid_t> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            runWriter(commands.begin() + writer * kWritesEach, kWritesEach, envp);
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write failed";
    }

    auto store = openStore(home.filePath("tevo/settings.db"));
    ASSERT_TRUE(store);
    const auto listed = store->list(QString("kelpan"), QString("/srv/suite"));
    ASSERT_TRUE(listed.isOk());
    std::set<QString> seen;
    for (const auto& entry : listed.value()) {
        const QStringList parts = entry.key.split(u'-');
        ASSERT_EQ(parts.size(), 3) << entry.key.toStdString();
        EXPECT_EQ(entry.value.toInt(), parts[1].toInt() * 1000 + parts[2].toInt());
        seen.insert(entry.key);
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kWriters * kWritesEach));
}

} // namespace
} // namespace tevo
