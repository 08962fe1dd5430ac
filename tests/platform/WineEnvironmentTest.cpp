#include "platform/WineEnvironment.h"
#include "platform/WindowsExecutable.h"
#include "platform/WineBridge.h"
#include "platform/WineBridgeProtocol.h"

#include "support/ChildProcess.h"
#include "support/QtPrinters.h"
#include "support/ScopedProcessState.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace tevo {
namespace {

// Writes a file, making its folder first.
bool writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions mode = {})
{
    return QDir().mkpath(QFileInfo(path).path()) && test::writeFile(path, bytes, mode);
}

// A DOS header whose new-header offset (at 0x3C) is `offset`, padded to `size` bytes, with
// `signature` written at `offset` when it fits.
QByteArray executable(quint32 offset, qsizetype size, QByteArray signature = "PE\0\0"_qba)
{
    QByteArray bytes(size, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4 && 0x3C + i < size; ++i)
        bytes[0x3C + i] = char(offset >> (8 * i));
    if (qint64(offset) + signature.size() <= size)
        bytes.replace(offset, signature.size(), signature);
    return bytes;
}

TEST(WindowsExecutable, NeedsTheDosHeaderAndThePeSignatureItPointsTo)
{
    QTemporaryDir dir;
    const struct
    {
        const char* name;
        QByteArray bytes;
        bool expected;
    } cases[] = {
        {"pe", executable(0x80, 0x200), true},
        {"pe-far", executable(0x3000, 0x4000), true}, // the signature beyond the first kilobytes
        {"pe-at-end", executable(0x100, 0x104), true},
        {"dos-only", executable(0x80, 0x200, "NE"), false},
        {"offset-past-end", executable(0x400, 0x200), false},
        {"offset-at-end", executable(0x101, 0x104), false},
        {"offset-huge", executable(0xFFFFFFF0u, 0x200), false},
        {"short", QByteArray("MZ"), false},
        {"elf",
         QByteArray("\x7F"
                    "ELF")
             .append(QByteArray(60, '\0')),
         false},
        {"script", QByteArray("#!/bin/sh\n").append(QByteArray(60, ' ')), false},
        {"empty", QByteArray(), false},
    };
    for (const auto& row : cases) {
        const QString path = dir.filePath(row.name);
        ASSERT_TRUE(writeFile(path, row.bytes)) << row.name;
        EXPECT_EQ(isWindowsExecutable(path), row.expected) << row.name;
    }

    // A link to an executable is one; a folder, a missing file and a FIFO are not, and the FIFO
    // (which has no writer) must not block the check.
    ASSERT_TRUE(QFile::link(dir.filePath("pe"), dir.filePath("link")));
    EXPECT_TRUE(isWindowsExecutable(dir.filePath("link")));
    EXPECT_FALSE(isWindowsExecutable(dir.path()));
    EXPECT_FALSE(isWindowsExecutable(dir.filePath("missing")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    EXPECT_FALSE(isWindowsExecutable(dir.filePath("fifo")));
}

TEST(WineBridgeProtocol, FieldsSurviveTheLineWhateverTheyHold)
{
    const QStringList cases[] = {
        {"hello"},
        {"set", "kelpan", "D:\\GARVO\\", "AT", "工單作業"},
        {"ok", "", "a\tb", "c\r\nd", "\\t is not a tab", ""},
        {"", ""},
    };
    for (const QStringList& fields : cases) {
        const QByteArray line = WineBridgeProtocol::line(fields);
        ASSERT_TRUE(line.endsWith('\n'));
        EXPECT_EQ(line.count('\n'), 1) << line.toStdString();
        EXPECT_FALSE(line.contains('\r')) << line.toStdString();
        EXPECT_EQ(WineBridgeProtocol::fields(line.chopped(1)), fields) << line.toStdString();
    }
    EXPECT_EQ(WineBridgeProtocol::line({"get", "D:\\A"}), "get\tD:\\\\A\n");

    for (const QByteArray& bad : {"a\\x"_qba, "trailing\\"_qba, "\xFF\xFE"_qba, "\\u0041"_qba})
        EXPECT_FALSE(WineBridgeProtocol::fields(bad).has_value()) << bad.toStdString();
}

QProcessEnvironment environmentOf(const QStringList& entries)
{
    QProcessEnvironment environment;
    for (const QString& entry : entries)
        environment.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    return environment;
}

TEST(WineEnvironment, PrefixMustBeOneThatWineHasSetUp)
{
    QTemporaryDir dir;
    const QString ready = dir.filePath("ready");
    ASSERT_TRUE(writeFile(ready + "/system.reg", "WINE REGISTRY Version 2\n"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("empty")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("home/.wine")));

    const struct
    {
        QStringList environment;
        QString prefix;
        bool ok;
    } cases[] = {
        {{"WINEPREFIX=" + ready, "HOME=/nowhere"}, ready, true},
        {{"WINEPREFIX=", "HOME=" + dir.filePath("home")}, dir.filePath("home/.wine"), false},
        {{"HOME=" + dir.filePath("home/")}, dir.filePath("home/.wine"), false},
        {{"WINEPREFIX=" + dir.filePath("empty")}, dir.filePath("empty"), false},
        {{"WINEPREFIX=" + dir.filePath("missing")}, dir.filePath("missing"), false},
        {{"WINEPREFIX=relative/prefix"}, "relative/prefix", false},
        {{}, QString(), false},
    };
    for (const auto& row : cases) {
        const WineEnvironment wine(environmentOf(row.environment));
        EXPECT_EQ(wine.prefix(), row.prefix) << row.environment.join(' ');
        const Status status = wine.checkPrefix();
        EXPECT_EQ(status.isOk(), row.ok) << row.environment.join(' ');
        if (!status && !row.prefix.isEmpty()) {
            // The message names the prefix; where the folder is missing or not set up, it gives
            // the command that makes it.
            EXPECT_TRUE(status.message().contains(row.prefix)) << status.message();
            if (row.prefix.startsWith(u'/')) {
                EXPECT_TRUE(status.message().contains("WINEPREFIX=" + row.prefix + " wineboot -i"))
                    << status.message();
            }
        }
    }
}

TEST(WineEnvironment, MissingLocaleAndWineAreNamedWithTheirRemedy)
{
    // With LOCPATH set, glibc looks for locales only there.
    QTemporaryDir noLocales;
    {
        test::ScopedEnvironment locpath("LOCPATH", QFile::encodeName(noLocales.path()));
        const Status status = WineEnvironment::checkLocale();
        ASSERT_FALSE(status.isOk());
        EXPECT_TRUE(status.message().contains("zh_TW.UTF-8")) << status.message();
        EXPECT_TRUE(status.message().contains("localedef -i zh_TW -f UTF-8 zh_TW.UTF-8"))
            << status.message();
    }

    QTemporaryDir bin;
    ASSERT_TRUE(writeFile(bin.filePath("wine"), "#!/bin/sh\n", QFile::ReadOwner)); // not executable
    const WineEnvironment noWine(environmentOf({"PATH=" + bin.path() + "::/nonexistent"}));
    const Result<WineCommand> command = noWine.command("/srv/garage/E2.exe", {}, "/srv/garage");
    ASSERT_FALSE(command.isOk());
    EXPECT_TRUE(command.error().contains("E2.exe")) << command.error();
    EXPECT_TRUE(command.error().contains("apt-get install wine")) << command.error();
}

TEST(WineEnvironment, CommandRunsWineInTheFolderWithPrefixLocaleAndPwd)
{
    if (Status locale = WineEnvironment::checkLocale(); !locale)
        GTEST_SKIP() << locale.message().toStdString();
    QTemporaryDir dir;
    const QString prefix = dir.filePath("prefix");
    const QString home = dir.filePath("home");
    for (const QString& folder : {prefix, home + "/.wine"})
        ASSERT_TRUE(writeFile(folder + "/system.reg", "WINE REGISTRY Version 2\n"));
    const QString wine = dir.filePath("bin/wine");
    ASSERT_TRUE(writeFile(wine, "#!/bin/sh\n", QFile::ReadOwner | QFile::ExeOwner));

    const struct
    {
        QStringList environment;
        QString prefix;
        QByteArray debug;
    } cases[] = {
        {{"WINEPREFIX=" + prefix, "HOME=" + home, "LANG=C", "LC_ALL=C", "PWD=/stale"},
         prefix,
         "-all"},
        {{"HOME=" + home, "WINEDEBUG=+relay"}, home + "/.wine", "+relay"},
    };
    for (const auto& row : cases) {
        const QStringList entries =
            row.environment + QStringList{"PATH=/nonexistent:" + dir.filePath("bin"), "KEPT=1"};
        const Result<WineCommand> command =
            WineEnvironment(environmentOf(entries))
                .command("/srv/保養廠/E2.exe", {"參數"}, "/srv/保養廠");
        ASSERT_TRUE(command.isOk()) << command.error();
        EXPECT_EQ(command.value().program, QFile::encodeName(wine));
        EXPECT_EQ(command.value().arguments,
                  (QList<QByteArray>{"wine", "/srv/保養廠/E2.exe", "參數"}));
        EXPECT_EQ(command.value().workingFolder, "/srv/保養廠");
        // The environment is the caller's with Wine's settings put over it.
        const QList<QByteArray>& env = command.value().environment;
        for (const QByteArray& expected :
             {"WINEPREFIX=" + QFile::encodeName(row.prefix), "LANG=zh_TW.UTF-8"_qba,
              "LC_ALL=zh_TW.UTF-8"_qba, "PWD=/srv/保養廠"_qba, "WINEDEBUG=" + row.debug,
              "KEPT=1"_qba})
            EXPECT_EQ(env.count(expected), 1) << expected.toStdString();
        const auto named = [&env](const char* prefix) {
            return std::count_if(env.begin(), env.end(),
                                 [prefix](const QByteArray& e) { return e.startsWith(prefix); });
        };
        EXPECT_EQ(named("LC_ALL="), 1);
        EXPECT_EQ(named("PWD="), 1);
    }
}

TEST(WineBridge, StartsNothingWithoutAPrefixOrTheLocale)
{
    // A `wine` that would make the prefix if it ran: the bridge must refuse before starting it.
    QTemporaryDir dir;
    const QString wine = dir.filePath("bin/wine");
    ASSERT_TRUE(writeFile(wine, "#!/bin/sh\nmkdir -p \"$WINEPREFIX\"\n",
                          QFile::ReadOwner | QFile::ExeOwner));
    const QString bridgePath = dir.filePath("tevo-winebridge.exe");
    ASSERT_TRUE(writeFile(bridgePath, executable(0x80, 0x200)));
    const QString missing = dir.filePath("missing-prefix");
    const QString ready = dir.filePath("prefix");
    ASSERT_TRUE(writeFile(ready + "/system.reg", "WINE REGISTRY Version 2\n"));
    QTemporaryDir noLocales;

    const struct
    {
        QString prefix;
        bool withoutLocales;
        const char* expected;
    } cases[] = {
        {missing, false, "wineboot -i"},
        {ready, true, "localedef"},
    };
    for (const auto& row : cases) {
        std::optional<test::ScopedEnvironment> locpath;
        if (row.withoutLocales)
            locpath.emplace("LOCPATH", QFile::encodeName(noLocales.path()));
        WineBridge bridge(WineEnvironment(environmentOf(
                              {"PATH=" + dir.filePath("bin"), "WINEPREFIX=" + row.prefix})),
                          dir.path(), bridgePath);
        const Status started = bridge.start();
        EXPECT_FALSE(started.isOk()) << row.expected;
        EXPECT_TRUE(started.message().contains(row.expected)) << started.message();
        EXPECT_FALSE(bridge.isRunning());
        const auto value = bridge.read("kelpan", "D:\\GARVO", "VA");
        EXPECT_FALSE(value.isOk());
        EXPECT_TRUE(value.error().contains(row.expected)) << value.error();
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
}

} // namespace
} // namespace tevo
