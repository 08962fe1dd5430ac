#include "platform/PosixProcessStarter.h"
#include "platform/WineInstallation.h"

#include "support/ChildProcess.h"
#include "support/Fakes.h"
#include "support/QtPrinters.h"
#include "support/ScopedProcessState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace tevo {
namespace {

using test::MemorySettingsStore;

const QString kLinux = QStringLiteral("/srv/garage/GARVO");
const QString kWindows = QStringLiteral("D:\\GARVO");

// Wine's answers for a suite folder on D: (mapped to /srv/garage), each question counted.
class FakeWindowsView : public WindowsView
{
public:
    Result<QString> currentFolder() override
    {
        ++folderQuestions;
        if (fail)
            return Result<QString>::error(QStringLiteral("Wine did not answer"));
        return folder;
    }
    Result<QString> unixPath(const QString& windowsPath) override
    {
        if (fail || !windowsPath.startsWith(QStringLiteral("D:\\"), Qt::CaseInsensitive))
            return Result<QString>::error(QStringLiteral("no such drive"));
        return QStringLiteral("/srv/garage/") + windowsPath.mid(3).replace(u'\\', u'/');
    }
    Result<QString> driveRoot(const QString& windowsPath) override
    {
        if (fail)
            return Result<QString>::error(QStringLiteral("Wine did not answer"));
        return windowsPath.left(2) + u'\\';
    }
    Result<quint32> volumeSerial(const QString& windowsPath) override
    {
        if (fail || !windowsPath.startsWith(QStringLiteral("D:")))
            return Result<quint32>::error(QStringLiteral("no such drive"));
        return serial;
    }

    QString folder = kWindows;
    quint32 serial = 0x44000000;
    bool fail = false;
    int folderQuestions = 0;
};

struct Stores
{
    MemorySettingsStore native;
    MemorySettingsStore registry;
    FakeWindowsView view;
    WineSettingsStore store{native, registry, view, kLinux, {"kelpan", "EEYX"}};
};

TEST(WineSettingsStore, SharedApplicationsOfTheWorkingFolderLiveInTheRegistry)
{
    const struct
    {
        const char* app;
        QString section;
        bool inRegistry;
    } cases[] = {
        {"kelpan", kLinux, true},
        {"KELPAN", kLinux, true}, // application names compare without regard to case
        {"EEYX", kLinux, true},
        {"eeyx", kLinux, true},
        {"other", kLinux, false},
        {"kelpan", "/srv/garage/GARVO/", false}, // another section (sections compare exactly)
        {"kelpan", "/srv/garage", false},
    };
    for (const auto& row : cases) {
        Stores s;
        const QString where = QString::fromLatin1(row.app) + u' ' + row.section;
        ASSERT_TRUE(s.store.write(row.app, row.section, "AT", "工單作業")) << where;
        EXPECT_EQ(s.registry.get(row.app, kWindows, "AT").has_value(), row.inRegistry) << where;
        // Every write reaches the native store under the Linux section.
        EXPECT_EQ(s.native.get(row.app, row.section, "AT"), std::optional<QString>("工單作業"))
            << where;

        // Reads come from the store of record alone: a value only the other store holds is
        // missing.
        s.native.set(row.app, row.section, "US", "native");
        s.registry.set(row.app, kWindows, "US", "registry");
        const auto read = s.store.read(row.app, row.section, "US");
        ASSERT_TRUE(read) << where;
        EXPECT_EQ(read.value(), std::optional<QString>(row.inRegistry ? "registry" : "native"))
            << where;
    }
}

TEST(WineSettingsStore, FailuresWriteNothingFurtherAndAreReported)
{
    const std::vector<std::pair<QString, QString>> keys{{"AT", "工單作業"}, {"YXQ", "A"}};
    {
        // The registry refuses: the native store is left as it was, the error is the caller's.
        Stores s;
        s.registry.failWrites = true;
        EXPECT_FALSE(s.store.writeAll("kelpan", kLinux, keys));
        EXPECT_TRUE(s.native.values.empty());
    }
    {
        // Wine cannot name the folder: nothing is written anywhere, and reads fail rather than
        // read as missing (an unreadable login context must not open an unrestricted menu).
        Stores s;
        s.view.fail = true;
        EXPECT_FALSE(s.store.writeAll("kelpan", kLinux, keys));
        EXPECT_FALSE(s.store.read("kelpan", kLinux, "UL"));
        EXPECT_TRUE(s.native.values.empty());
        EXPECT_TRUE(s.registry.values.empty());
    }
    {
        // An empty Windows form is no section.
        Stores s;
        s.view.folder.clear();
        EXPECT_FALSE(s.store.write("kelpan", kLinux, "AT", "x"));
        EXPECT_TRUE(s.registry.values.empty());
    }
    {
        // The native store refuses after the registry took the keys: still an error.
        Stores s;
        s.native.failWrites = true;
        EXPECT_FALSE(s.store.writeAll("kelpan", kLinux, keys));
        EXPECT_EQ(s.registry.get("kelpan", kWindows, "YXQ"), std::optional<QString>("A"));
    }
}

TEST(WineSettingsStore, ListsTheRegistrysSectionUnderTheLinuxOne)
{
    Stores s;
    s.registry.set("EEYX", kWindows, "3B", "2026/12/31");
    s.registry.set("EEYX", "D:\\OTHER", "4B", "2026/01/01");
    s.native.set("EEYX", kLinux, "5B", "stale");
    const auto entries = s.store.list(QString("EEYX"), kLinux);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries.value().size(), 1u);
    EXPECT_EQ(entries.value()[0].key, "3B");
    EXPECT_EQ(entries.value()[0].section, kLinux);
    // A listing of everything is the native store's.
    const auto all = s.store.list(std::nullopt, std::nullopt);
    ASSERT_TRUE(all);
    EXPECT_EQ(all.value().size(), 1u);
}

TEST(WineWorkingDirectory, DriveSerialHostFormAndPathsAreTheWindowsOnes)
{
    test::FakeWorkingDirectory local;
    local.path = kLinux;
    local.root = "/srv"; // the mount point: not the Windows drive's root
    FakeWindowsView view;
    WineWorkingDirectory folder(local, view);
    EXPECT_EQ(folder.current(), kLinux);
    EXPECT_EQ(folder.driveRoot().value(), "/srv/garage/");
    EXPECT_EQ(folder.suiteForm(), kWindows);
    EXPECT_EQ(folder.localPath("D:\\GARVO\\權限\\權限.INI"), "/srv/garage/GARVO/權限/權限.INI");
    EXPECT_EQ(folder.localPath("Q:\\x"), QString());

    view.serial = 0x9234ABCD; // the top bit set: a negative number, as the suite reads it
    const WineVolumeSerial serial(view);
    EXPECT_EQ(serial.serialOfCurrentDrive().value(), qint32(0x9234ABCD));

    view.fail = true;
    EXPECT_FALSE(folder.driveRoot());
    EXPECT_EQ(folder.suiteForm(), QString()); // never equal to a host directory
    EXPECT_FALSE(serial.serialOfCurrentDrive());
}

// A prefix Wine has set up, a `wine` that records how it was started, and Windows and Linux
// programs for the entry program's place.
struct FakeWineMachine
{
    FakeWineMachine()
    {
        prefix = dir.filePath("prefix");
        bin = dir.filePath("bin");
        suite = dir.filePath("保養廠");
        record = dir.filePath("wine-record.txt");
        QDir().mkpath(suite);
        QDir().mkpath(prefix);
        QDir().mkpath(bin);
        test::writeFile(prefix + "/system.reg", "WINE REGISTRY Version 2\n");
        test::writeFile(bin + "/wine",
                        "#!/bin/sh\nprintf '%s\\n' \"$1\" \"$PWD\" \"$(pwd -P)\" \"$LANG\" "
                        "\"$WINEPREFIX\" > '" + QFile::encodeName(record) + ".part'\nmv '" +
                            QFile::encodeName(record) + ".part' '" + QFile::encodeName(record) +
                            "'\n",
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QByteArray pe(0x200, '\0');
        pe[0] = 'M';
        pe[1] = 'Z';
        pe[0x3C] = char(0x80);
        pe.replace(0x80, 4, QByteArray("PE\0\0", 4));
        test::writeFile(suite + "/GARVO.exe", pe);
        test::writeFile(suite + "/linux.exe", "#!/bin/sh\n",
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QProcessEnvironment environment(bool withWine = true, bool withPrefix = true) const
    {
        QProcessEnvironment e;
        e.insert("PATH", withWine ? bin + ":/usr/bin:/bin" : QStringLiteral("/nonexistent"));
        e.insert("WINEPREFIX", withPrefix ? prefix : dir.filePath("no-prefix"));
        e.insert("HOME", dir.path());
        return e;
    }

    QTemporaryDir dir;
    QString prefix, bin, suite, record;
};

TEST(WineInstallation, RecognisedByAWindowsEntryProgramThatWineCanRun)
{
    FakeWineMachine machine;
    const bool localeReady = WineEnvironment::checkLocale().isOk();
    const QByteArray windows = QFile::encodeName(machine.suite + "/GARVO.exe");
    const QByteArray linux = QFile::encodeName(machine.suite + "/linux.exe");
    const struct
    {
        const char* name;
        std::optional<QByteArray> entry;
        bool withWine, withPrefix;
        bool isWine;
        QString messageHolds; // empty: no error
    } cases[] = {
        {"no entry program", std::nullopt, false, false, false, {}},
        {"a Linux entry program", linux, false, false, false, {}},
        {"Windows, Wine ready", windows, true, true, true, {}},
        {"Windows, no wine", windows, false, true, false, "apt-get install wine"},
        {"Windows, no prefix", windows, true, false, false, machine.dir.filePath("no-prefix")},
    };
    for (const auto& row : cases) {
        const WineEnvironment environment(machine.environment(row.withWine, row.withPrefix));
        const Result<bool> result = recogniseWineInstallation(row.entry, environment);
        if (row.isWine && !localeReady) {
            EXPECT_FALSE(result) << row.name << ": zh_TW.UTF-8 is missing here";
            continue;
        }
        ASSERT_EQ(result.isOk(), row.messageHolds.isEmpty()) << row.name << result.error();
        if (result)
            EXPECT_EQ(result.value(), row.isWine) << row.name;
        else
            EXPECT_TRUE(result.error().contains(row.messageHolds)) << row.name << result.error();
    }
}

TEST(PosixProcessStarter, StartsWindowsProgramsThroughWineInTheWorkingFolder)
{
    if (const Status locale = WineEnvironment::checkLocale(); !locale)
        GTEST_SKIP() << locale.message().toStdString();
    FakeWineMachine machine;
    test::ScopedWorkingDirectory cwd(machine.suite);
    ASSERT_TRUE(cwd.changed());
    // A stale PWD of our own must not reach Wine.
    test::ScopedEnvironment pwd("PWD", "/tmp");

    PosixProcessStarter noWine(WineEnvironment(machine.environment(false, true)));
    const Status refused = noWine.start("garvo.EXE");
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.message().contains("garvo.EXE")) << refused.message();
    EXPECT_TRUE(refused.message().contains("apt-get install wine")) << refused.message();

    PosixProcessStarter starter(WineEnvironment(machine.environment()));
    ASSERT_TRUE(starter.start("garvo.EXE"));
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(machine.record) && timer.elapsed() < 5000)
        QThread::msleep(10);
    QFile file(machine.record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], machine.suite + "/GARVO.exe");
    EXPECT_EQ(lines[1], machine.suite); // PWD names the folder
    EXPECT_EQ(lines[2], machine.suite);
    EXPECT_EQ(lines[3], "zh_TW.UTF-8");
    EXPECT_EQ(lines[4], machine.prefix);
}

} // namespace
} // namespace tevo
