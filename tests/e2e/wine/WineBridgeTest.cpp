// The Wine bridge under the real Wine, with Windows stand-ins built by MinGW-w64. Run by
// tests/e2e/test_wine_bridge.sh, which makes the prefix and maps the drive letters:
//
//   TEVO_WINE_TEST_ROOT   a private folder; ROOT/garage is mapped to D:, ROOT/garage/GARVO/deep
//                         to E:, and ROOT/garage/.windows-serial holds 1234ABCD
//   WINEPREFIX            the prefix that holds these mappings
//
// Without TEVO_WINE_TEST_ROOT every test is skipped.

#include "platform/WineBridge.h"

#include "support/QtPrinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <QProcess>

#include <algorithm>
#include <cstdio>

namespace tevo {
namespace {

const QString kApp = QStringLiteral("kelpan");

struct WineRun
{
    int exitCode = -1; // -1: not started, or not ended within the time-out
    QString errors;    // its standard error
};

// Runs a Windows program under Wine with the command the menu will use, and waits for it.
WineRun runUnderWine(const WineEnvironment& wine, const QString& program,
                     const QStringList& arguments, const QString& folder)
{
    const Result<WineCommand> command = wine.command(program, arguments, folder);
    EXPECT_TRUE(command.isOk()) << command.error();
    if (!command)
        return {};
    QStringList environment;
    for (const QByteArray& entry : command.value().environment)
        environment.append(QString::fromUtf8(entry));
    QStringList argv;
    for (const QByteArray& argument : command.value().arguments.mid(1))
        argv.append(QString::fromUtf8(argument));
    QProcess process;
    process.setEnvironment(environment);
    process.setWorkingDirectory(QString::fromUtf8(command.value().workingFolder));
    process.start(QString::fromUtf8(command.value().program), argv);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray waitForFile(const QString& path, int timeoutMs = 15000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            if (bytes.endsWith('\n'))
                return bytes;
        }
        QThread::msleep(20);
    }
    return QByteArray();
}

class WineBridgeE2E : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = qEnvironmentVariable("TEVO_WINE_TEST_ROOT");
        if (m_root.isEmpty())
            GTEST_SKIP() << "run by tests/e2e/test_wine_bridge.sh, which sets up Wine";
        m_garage = m_root + QStringLiteral("/garage");
        m_standIns = QStringLiteral(TEVO_WINE_STAND_INS);
    }

    // A folder below the D: drive, made for the test.
    QString suiteFolder(const QString& name) const
    {
        const QString folder = m_garage + u'/' + name;
        EXPECT_TRUE(QDir().mkpath(folder)) << folder;
        return folder;
    }

    // A stand-in copied into `folder` under the name the suite gives it.
    static void install(const QString& from, const QString& folder, const QString& name)
    {
        QFile::remove(folder + u'/' + name);
        ASSERT_TRUE(QFile::copy(from, folder + u'/' + name)) << from;
    }

    QString m_root;
    QString m_garage;
    QString m_standIns;
    WineEnvironment m_wine;
};

TEST_F(WineBridgeE2E, HandOffKeysWrittenByTheBridgeReachAnAnsiModule)
{
    const QString folder = suiteFolder(QStringLiteral("GARVO"));
    WineBridge bridge(m_wine, folder, QStringLiteral(TEVO_WINE_BRIDGE_BUILT));
    const Result<QString> section = bridge.currentFolder();
    ASSERT_TRUE(section.isOk()) << section.error();
    EXPECT_EQ(section.value(), QStringLiteral("D:\\GARVO"));

    ASSERT_TRUE(
        bridge.writeAll(kApp, section.value(),
                        {{"AT", "工單作業"}, {"YXQ", "A"}, {"ATU", ""}, {"note", "a\tb\\c\r\nd"}}));
    const struct
    {
        QString app, key;
        std::optional<QString> expected;
    } reads[] = {
        {kApp, "AT", QStringLiteral("工單作業")},
        {QStringLiteral("KELPAN"), "yxq", QStringLiteral("A")}, // names ignore letter case
        {kApp, "ATU", QString()},                               // empty, not missing
        {kApp, "note", QStringLiteral("a\tb\\c\r\nd")},
        {kApp, "never", std::nullopt},
        {QStringLiteral("nothing"), "AT", std::nullopt},
    };
    for (const auto& row : reads) {
        const auto value = bridge.read(row.app, section.value(), row.key);
        ASSERT_TRUE(value.isOk()) << row.key << ": " << value.error();
        EXPECT_EQ(value.value(), row.expected) << row.app << " " << row.key;
    }

    // The module reads them in code page 950 from its own current folder and records UTF-8.
    install(m_standIns + QStringLiteral("/module.exe"), folder, QStringLiteral("E2.exe"));
    const QString record = m_root + QStringLiteral("/record.tsv");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TEVO_STANDIN_RECORD"), record);
    EXPECT_EQ(runUnderWine(WineEnvironment(environment), folder + QStringLiteral("/E2.exe"),
                           {QStringLiteral("參數")}, folder)
                  .exitCode,
              0);
    // name, AT, YXQ, ATU, Windows current folder, argument count (then the start time)
    const QStringList fields = QString::fromUtf8(waitForFile(record)).trimmed().split(u'\t');
    EXPECT_EQ(fields.mid(0, 6), (QStringList{"E2.exe", "工單作業", "A", "", "D:\\GARVO", "2"}));

    const auto values = bridge.values(kApp, section.value());
    ASSERT_TRUE(values.isOk()) << values.error();
    EXPECT_EQ(values.value().size(), 4u);
    const auto entries = bridge.list(kApp);
    ASSERT_TRUE(entries.isOk()) << entries.error();
    EXPECT_TRUE(std::any_of(entries.value().begin(), entries.value().end(), [](const auto& e) {
        return e.section == QStringLiteral("D:\\GARVO") && e.key == QStringLiteral("AT") &&
               e.value == QStringLiteral("工單作業");
    }));
}

TEST_F(WineBridgeE2E, LoginContextFromTheAnsiEntryProgramAndTheWayBackIntoTheMenu)
{
    // A Chinese folder name: the entry program's section is in code page 950 too.
    const QString folder = suiteFolder(QStringLiteral("保養廠"));
    install(m_standIns + QStringLiteral("/entry.exe"), folder, QStringLiteral("GARVO.exe"));
    install(QStringLiteral(TEVO_MENU_LAUNCHER_BUILT), folder, QStringLiteral("MENU.exe"));
    // The "menu" that the way back in starts: records its working folder.
    const QString menu = m_root + QStringLiteral("/menu.sh");
    const QString started = m_root + QStringLiteral("/menu-started.txt");
    QFile script(menu);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\npwd -P > '" + started + "'\n").toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TEVO_MENU_PROGRAM"), menu);
    environment.remove(QStringLiteral("DISPLAY"));
    ASSERT_EQ(runUnderWine(WineEnvironment(environment), folder + QStringLiteral("/GARVO.exe"),
                           {"mx=管理", "VA=王小明", "AAA=3", "r5=D:\\保養廠", "/start", "MENU.exe"},
                           folder)
                  .exitCode,
              0);
    EXPECT_EQ(QString::fromUtf8(waitForFile(started)).trimmed(),
              QFileInfo(folder).canonicalFilePath());

    WineBridge bridge(m_wine, folder, QStringLiteral(TEVO_WINE_BRIDGE_BUILT));
    const Result<QString> section = bridge.currentFolder();
    ASSERT_TRUE(section.isOk()) << section.error();
    EXPECT_EQ(section.value(), QStringLiteral("D:\\保養廠"));
    const std::pair<QString, QString> login[] = {
        {"mx", "管理"}, {"VA", "王小明"}, {"AAA", "3"}, {"r5", "D:\\保養廠"}};
    for (const auto& [key, expected] : login) {
        const auto value = bridge.read(kApp, section.value(), key);
        ASSERT_TRUE(value.isOk()) << key << ": " << value.error();
        EXPECT_EQ(value.value(), std::optional<QString>(expected)) << key;
    }

    // A menu that cannot be started: status 1 and a line that names it.
    environment.insert(QStringLiteral("TEVO_MENU_PROGRAM"), m_root + QStringLiteral("/none"));
    const WineRun failed = runUnderWine(WineEnvironment(environment),
                                        folder + QStringLiteral("/MENU.exe"), {}, folder);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.errors.contains(m_root + QStringLiteral("/none"))) << failed.errors;
}

TEST_F(WineBridgeE2E, FoldersDrivesAndSerialsAsWineSeesThem)
{
    // E: is mapped inside D:'s folder: the deepest letter names the folder.
    const QString deep = suiteFolder(QStringLiteral("GARVO/deep/工作"));
    WineBridge bridge(m_wine, deep, QStringLiteral(TEVO_WINE_BRIDGE_BUILT));
    const struct
    {
        const char* what;
        Result<QString> actual;
        QString expected;
    } rows[] = {
        {"current folder", bridge.currentFolder(), QStringLiteral("E:\\工作")},
        {"unix path", bridge.unixPath(QStringLiteral("D:\\GARVO\\kelpan.INI")),
         m_garage + QStringLiteral("/GARVO/kelpan.INI")},
        {"unix path of a root", bridge.unixPath(QStringLiteral("D:\\")), m_garage},
        {"windows path", bridge.windowsPath(m_garage + QStringLiteral("/GARVO/新")),
         QStringLiteral("D:\\GARVO\\新")},
        {"drive root", bridge.driveRoot(QStringLiteral("D:\\GARVO\\sub")), QStringLiteral("D:\\")},
        {"network root", bridge.driveRoot(QStringLiteral("\\\\host\\share\\a\\b")),
         QStringLiteral("\\\\host\\share\\")},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(row.actual.isOk()) << row.what << ": " << row.actual.error();
        EXPECT_EQ(row.actual.value(), row.expected) << row.what;
    }
    const Result<quint32> serial = bridge.volumeSerial(QStringLiteral("D:\\GARVO"));
    ASSERT_TRUE(serial.isOk()) << serial.error();
    EXPECT_EQ(serial.value(), 0x1234ABCDu);

    // Outside every mapped folder: Z:, the whole filesystem. A folder reached through a link
    // keeps the link's name (Wine reads PWD), though the link leads out of D:.
    const QString elsewhere = m_root + QStringLiteral("/elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, m_garage + QStringLiteral("/LINKED")));
    const struct
    {
        QString folder;
        QString expected;
    } folders[] = {
        {elsewhere, QStringLiteral("Z:") + QString(elsewhere).replace(u'/', u'\\')},
        {m_garage + QStringLiteral("/LINKED"), QStringLiteral("D:\\LINKED")},
    };
    for (const auto& row : folders) {
        WineBridge other(m_wine, row.folder, QStringLiteral(TEVO_WINE_BRIDGE_BUILT));
        const Result<QString> current = other.currentFolder();
        ASSERT_TRUE(current.isOk()) << current.error();
        EXPECT_EQ(current.value(), row.expected) << row.folder;
    }
}

TEST_F(WineBridgeE2E, BridgeEndsWithItsInputAndAnswersQuickly)
{
    const QString folder = suiteFolder(QStringLiteral("GARVO"));
    // Another bridge keeps Wine's services up: the measured start is a warm one.
    WineBridge keeper(m_wine, folder, QStringLiteral(TEVO_WINE_BRIDGE_BUILT));
    ASSERT_TRUE(keeper.currentFolder().isOk());

    QElapsedTimer timer;
    timer.start();
    WineBridge bridge(m_wine, folder, QStringLiteral(TEVO_WINE_BRIDGE_BUILT));
    const Result<QString> section = bridge.currentFolder();
    const qint64 warmStartMs = timer.elapsed();
    ASSERT_TRUE(section.isOk()) << section.error();
    ASSERT_TRUE(bridge.write(kApp, section.value(), "AT", "工單作業"));

    constexpr int kRounds = 300;
    std::vector<qint64> micros;
    for (int i = 0; i < kRounds; ++i) {
        timer.restart();
        const auto value = bridge.read(kApp, section.value(), "AT");
        micros.push_back(timer.nsecsElapsed() / 1000);
        ASSERT_TRUE(value.isOk() && value.value() == QStringLiteral("工單作業")) << i;
    }
    std::sort(micros.begin(), micros.end());
    std::printf(
        "warm start to first answer: %lld ms; %d round trips: median %lld us, "
        "95th percentile %lld us, slowest %lld us\n",
        static_cast<long long>(warmStartMs), kRounds, static_cast<long long>(micros[kRounds / 2]),
        static_cast<long long>(micros[kRounds * 95 / 100]), static_cast<long long>(micros.back()));
    RecordProperty("warm_start_ms", static_cast<int>(warmStartMs));
    RecordProperty("median_round_trip_us", static_cast<int>(micros[kRounds / 2]));
    // Loose bounds for a shared machine: a reply that waits for a buffer to fill would take the
    // time-out (seconds), not milliseconds.
    EXPECT_LT(micros[kRounds / 2], 20000);
    EXPECT_LT(warmStartMs, 5000);

    // Stopping closes the bridge's input; it ends on its own, and a later question starts a
    // new one.
    timer.restart();
    bridge.stop();
    EXPECT_FALSE(bridge.isRunning());
    EXPECT_LT(timer.elapsed(), 1500) << "the bridge did not end with its input";
    const auto again = bridge.read(kApp, section.value(), "AT");
    ASSERT_TRUE(again.isOk()) << again.error();
    EXPECT_EQ(again.value(), std::optional<QString>(QStringLiteral("工單作業")));

    // A bridge that Wine cannot run: the question gets an error with Wine's own words (written
    // in code page 950) instead of waiting for the time-out.
    const QString bogus = m_root + QStringLiteral("/bogus.exe");
    QFile file(bogus);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("not a program\n") > 0);
    file.close();
    WineBridge broken(m_wine, folder, bogus);
    timer.restart();
    const Result<QString> answer = broken.currentFolder();
    ASSERT_FALSE(answer.isOk());
    EXPECT_LT(timer.elapsed(), WineBridge::kStartTimeoutMs / 2);
    EXPECT_TRUE(answer.error().contains(QStringLiteral("Wine 無法執行它"))) << answer.error();
    EXPECT_TRUE(answer.error().contains(QStringLiteral("找不到檔案"))) << answer.error();
    EXPECT_FALSE(broken.isRunning());
}

} // namespace
} // namespace tevo
