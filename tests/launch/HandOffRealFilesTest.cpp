// The hand-off over the real process starter and the real settings store, for the messages a
// workshop user actually reads: a module file that cannot run, and keys that cannot be written.

#include "launch/HandOff.h"

#include "platform/PosixProcessStarter.h"
#include "platform/SqliteSettingsStore.h"
#include "support/ChildProcess.h"
#include "support/Fakes.h"
#include "support/ProfileTestFiles.h"
#include "support/QtPrinters.h"
#include "support/ScopedProcessState.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tevo {
namespace {

using test::FakePlatform;
using test::FakeView;

const CommandRow& newWorkOrder()
{
    return *findCommand(QStringLiteral("Command1")); // "AT" 工單作業, "YXQ" A, E2.exe
}

TEST(HandOffRealFiles, ModuleFileThatCannotRunIsNamedAndTheMenuStays)
{
    QTemporaryDir work;
    const QString folder = QFileInfo(work.path()).canonicalFilePath();
    const QFile::Permissions readWrite = QFile::ReadOwner | QFile::WriteOwner;
    const struct
    {
        const char* name;
        std::function<bool(const QString& file)> make;
        const char* reason; // what the message says is wrong
    } cases[] = {
        {"not executable",
         [&](const QString& file) { return test::writeFile(file, "#!/bin/sh\n", readWrite); },
         "沒有執行權限"},
        {"of another machine's format",
         [&](const QString& file) {
             return test::writeFile(file, "MZ\x90 for another system\r\n",
                                    readWrite | QFile::ExeOwner);
         },
         "程式格式"},
        {"a folder", [](const QString& file) { return QDir().mkpath(file); }, "找不到程式"},
        {"missing", [](const QString&) { return true; }, "找不到程式"},
    };
    const test::ScopedWorkingDirectory cwd(folder);
    ASSERT_TRUE(cwd.changed());
    for (const auto& row : cases) {
        const QString module = folder + "/E2.exe";
        QDir(module).removeRecursively();
        QFile::remove(module);
        ASSERT_TRUE(row.make(module)) << row.name;

        FakePlatform f;
        f.workingDirectory.path = folder;
        PosixProcessStarter starter;
        Platform real{f.store,    f.workingDirectory, starter, f.shell, f.exit,     f.beeper,
                      f.messages, f.cursor,           f.clock, f.http,  f.profiles, f.volumeSerial};
        FakeView view;
        HandOff(real, view).run(newWorkOrder());

        ASSERT_EQ(f.messages.shown.size(), 1) << row.name;
        const QString message = f.messages.shown.front();
        EXPECT_TRUE(message.contains(QStringLiteral("「E2.exe」")) &&
                    message.contains(QString::fromUtf8(row.reason)))
            << row.name << ": " << message;
        EXPECT_EQ(f.exit.count, 0) << row.name << ": the menu must stay";
        EXPECT_FALSE(f.cursor.busy) << row.name;
        // The keys of the hand-off stay written, for a module started later by hand.
        EXPECT_EQ(f.store.get("kelpan", folder, "AT"), QStringLiteral("工單作業")) << row.name;
        EXPECT_TRUE(test::childProcesses().empty()) << row.name;
    }
}

TEST(HandOffRealFiles, KeysThatCannotBeWrittenAreReportedAndNothingStarts)
{
    QTemporaryDir home;
    const QString path = home.filePath("tevo/settings.db");
    {
        auto opened = SqliteSettingsStore::open(path);
        ASSERT_TRUE(opened.isOk()) << opened.error();
        ASSERT_TRUE(opened.value()->write("kelpan", "/srv/garage", "AT", "earlier AT"));
    }
    ASSERT_TRUE(QFile::setPermissions(home.filePath("tevo"), QFile::ReadOwner | QFile::ExeOwner));
    test::runWithoutPermissionOverride([&] {
        auto opened = SqliteSettingsStore::open(path);
        ASSERT_TRUE(opened.isOk()) << opened.error();
        FakePlatform f;
        f.workingDirectory.path = QStringLiteral("/srv/garage");
        Platform real{*opened.value(), f.workingDirectory, f.processes, f.shell, f.exit,
                      f.beeper,        f.messages,         f.cursor,    f.clock, f.http,
                      f.profiles,      f.volumeSerial};
        FakeView view;
        HandOff(real, view).run(newWorkOrder());

        EXPECT_TRUE(f.processes.started.isEmpty());
        EXPECT_EQ(f.exit.count, 0);
        ASSERT_EQ(f.messages.shown.size(), 1);
        const QString message = f.messages.shown.front();
        // What was not done, which file, what is wrong with it and whom to ask.
        EXPECT_TRUE(message.contains(QStringLiteral("未啟動「E2.exe」")) &&
                    message.contains(path) && message.contains(QStringLiteral("唯讀")) &&
                    message.contains(QStringLiteral("系統管理員")))
            << message;
        EXPECT_EQ(opened.value()->text("kelpan", "/srv/garage", "AT"), "earlier AT");
    });
    QFile::setPermissions(home.filePath("tevo"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
} // namespace tevo
