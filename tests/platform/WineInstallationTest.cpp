#include "platform/WineInstallation.h"
#include "platform/PosixProcessStarter.h"

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

const QString kLinux = QStringLiteral("/srv/garage/GARVO");
const QString kWindows = QStringLiteral("D:\\GARVO");

// Wine's answers for a suite folder on D: (mapped to /srv/garage).
class FakeWindowsView : public WindowsView
{
public:
    Result<QString> currentFolder() override { return answer(folder); }
    Result<QString> unixPath(const QString& path) override
    {
        if (!path.startsWith(QStringLiteral("D:\\"), Qt::CaseInsensitive))
            return Result<QString>::error(QStringLiteral("no such drive"));
        return answer(QStringLiteral("/srv/garage/") + path.mid(3).replace(u'\\', u'/'));
    }
    Result<QString> driveRoot(const QString& path) override { return answer(path.left(2) + u'\\'); }
    Result<quint32> volumeSerial(const QString&) override
    {
        return fail ? Result<quint32>::error(QStringLiteral("no answer")) : Result<quint32>(serial);
    }
    Result<QString> answer(const QString& text)
    {
        return fail ? Result<QString>::error(QStringLiteral("no answer")) : Result<QString>(text);
    }

    QString folder = kWindows;
    quint32 serial = 0x9234ABCD;
    bool fail = false;
};

struct Stores
{
    test::MemorySettingsStore native, registry;
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
        {"kelpan", kLinux, true}, {"KELPAN", kLinux, true},         {"eeyx", kLinux, true},
        {"other", kLinux, false}, {"kelpan", kLinux + u'/', false}, {"kelpan", "/srv", false},
    };
    for (const auto& row : cases) {
        Stores s;
        const std::string where = row.app + (' ' + row.section.toStdString());
        ASSERT_TRUE(s.store.writeAll(row.app, row.section, {{"AT", "工單作業"}})) << where;
        EXPECT_EQ(s.registry.get(row.app, kWindows, "AT").has_value(), row.inRegistry) << where;
        // Every write reaches the native store under the Linux section, for Linux modules.
        EXPECT_EQ(s.native.get(row.app, row.section, "AT"), "工單作業") << where;
        // Reads come from the store of record alone.
        s.native.set(row.app, row.section, "US", "native");
        s.registry.set(row.app, kWindows, "US", "registry");
        EXPECT_EQ(s.store.read(row.app, row.section, "US").value(),
                  row.inRegistry ? "registry" : "native")
            << where;
        const auto listed = s.store.list(QString(row.app), row.section);
        ASSERT_TRUE(listed) << where;
        EXPECT_EQ(listed.value().back().section, row.section) << where;
    }
}

TEST(WineSettingsStore, FailuresWriteNothingFurtherAndAreReported)
{
    const std::vector<std::pair<QString, QString>> keys{{"AT", "工單作業"}, {"YXQ", "A"}};
    //   registry refuses | Wine does not answer | Wine names no folder | native refuses
    const bool cases[][4] = {{true, false, false, false},
                             {false, true, false, false},
                             {false, false, true, false},
                             {false, false, false, true}};
    for (const auto& row : cases) {
        Stores s;
        s.registry.failWrites = row[0];
        s.view.fail = row[1];
        if (row[2])
            s.view.folder.clear();
        s.native.failWrites = row[3];
        EXPECT_FALSE(s.store.writeAll("kelpan", kLinux, keys));
        // The registry first: nothing reaches the native store unless the registry took it.
        EXPECT_EQ(s.native.values.empty(), s.registry.values.empty() || row[3]);
        // An unreadable registry is an error, never a missing login context.
        if (row[1] || row[2]) {
            EXPECT_FALSE(s.store.read("kelpan", kLinux, "UL"));
        }
    }
}

TEST(WineWorkingDirectory, DriveSerialHostFormAndPathsAreTheWindowsOnes)
{
    test::FakeWorkingDirectory local;
    local.path = kLinux;
    local.root = "/srv"; // the mount point, not the Windows drive's root
    FakeWindowsView view;
    const WineWorkingDirectory folder(local, view);
    const WineVolumeSerial serial(view);
    EXPECT_EQ(folder.current(), kLinux);
    EXPECT_EQ(folder.driveRoot().value(), "/srv/garage/");
    EXPECT_EQ(folder.suiteForm(), kWindows);
    EXPECT_EQ(folder.localPath("D:\\GARVO\\權限\\權限.INI"), "/srv/garage/GARVO/權限/權限.INI");
    EXPECT_EQ(folder.localPath("Q:\\x"), QString());
    EXPECT_EQ(serial.serialOfCurrentDrive().value(), qint32(0x9234ABCD)); // signed, as read

    view.fail = true;
    EXPECT_FALSE(folder.driveRoot());
    EXPECT_EQ(folder.suiteForm(), QString()); // never equal to a host directory
    EXPECT_FALSE(serial.serialOfCurrentDrive());
}

// A prefix Wine has set up, a `wine` that records how it was started, and a Windows and a Linux
// program for the entry program's place.
struct FakeWineMachine
{
    FakeWineMachine()
    {
        const QFile::Permissions executable = QFile::ReadOwner | QFile::ExeOwner;
        for (const QString& folder : {prefix, bin, suite})
            QDir().mkpath(folder);
        test::writeFile(prefix + "/system.reg", "WINE REGISTRY Version 2\n");
        const QByteArray out = QFile::encodeName(record);
        test::writeFile(bin + "/wine",
                        "#!/bin/sh\nprintf '%s\\n' \"$1\" \"$PWD\" \"$(pwd -P)\" \"$LANG\" "
                        "\"$WINEPREFIX\" > '" +
                            out + ".part'\nmv '" + out + ".part' '" + out + "'\n",
                        executable);
        QByteArray pe(0x200, '\0');
        pe.replace(0, 2, "MZ").replace(0x80, 4, QByteArray("PE\0\0", 4))[0x3C] = char(0x80);
        test::writeFile(suite + "/GARVO.exe", pe);
        test::writeFile(suite + "/linux.exe", "#!/bin/sh\n", executable);
    }
    WineEnvironment environment(bool withWine, bool withPrefix) const
    {
        QProcessEnvironment e;
        e.insert("PATH", withWine ? bin + ":/usr/bin:/bin" : QStringLiteral("/nonexistent"));
        e.insert("WINEPREFIX", withPrefix ? prefix : dir.filePath("no-prefix"));
        return WineEnvironment(e);
    }

    QTemporaryDir dir;
    QString prefix = dir.filePath("prefix"), bin = dir.filePath("bin");
    QString suite = dir.filePath("保養廠"), record = dir.filePath("wine-record.txt");
};

// Recognition and start share their checks: a Windows entry program is a Wine installation
// only where Wine, its prefix and the locale are there, and a Windows program starts as
// `wine PROGRAM` in the working folder, PWD naming it, never the menu's stale one.
TEST(WineInstallation, WindowsProgramsAreRecognisedAndStartedThroughWine)
{
    if (const Status locale = WineEnvironment::checkLocale(); !locale)
        GTEST_SKIP() << locale.message().toStdString();
    FakeWineMachine m;
    const QByteArray windows = QFile::encodeName(m.suite + "/GARVO.exe");
    const struct
    {
        std::optional<QByteArray> entry;
        bool withWine, withPrefix;
        QString outcome; // "wine", "linux", or what the error names
    } cases[] = {
        {std::nullopt, true, true, "linux"},
        {QFile::encodeName(m.suite + "/linux.exe"), true, true, "linux"},
        {windows, true, true, "wine"},
        {windows, false, true, "apt-get install wine"},
        {windows, true, false, m.dir.filePath("no-prefix")},
    };
    for (const auto& row : cases) {
        const WineEnvironment environment = m.environment(row.withWine, row.withPrefix);
        const Result<bool> result = recogniseWineInstallation(row.entry, environment);
        const QString outcome =
            !result ? result.error() : QString(result.value() ? "wine" : "linux");
        EXPECT_TRUE(outcome.contains(row.outcome)) << row.outcome << ": " << outcome;
        if (row.entry != windows)
            continue;
        test::ScopedWorkingDirectory cwd(m.suite);
        test::ScopedEnvironment stalePwd("PWD", "/tmp");
        const Status started = PosixProcessStarter(environment).start("garvo.EXE");
        EXPECT_EQ(started.isOk(), result.isOk()) << started.message();
        if (!started) {
            EXPECT_TRUE(started.message().contains(row.outcome)) << started.message();
        }
    }
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(m.record) && timer.elapsed() < 5000)
        QThread::msleep(10);
    EXPECT_EQ(QString::fromUtf8(test::fileBytes(m.record)).split(u'\n'),
              QStringList({m.suite + "/GARVO.exe", m.suite, m.suite, "zh_TW.UTF-8", m.prefix, ""}));
}

} // namespace
} // namespace tevo
