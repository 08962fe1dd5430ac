#include "launch/HandOff.h"
#include "launch/SideLaunch.h"

#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace tevo {
namespace {

using test::FakePlatform;
using test::FakeView;

struct HandOffFixture
{
    FakePlatform fp;
    FakeView view;
    HandOff handOff{fp.platform, view};
    SideLaunch sideLaunch{fp.platform, view};
    QStringList events;

    HandOffFixture()
    {
        // Keys an earlier hand-off left behind.
        fp.store.set("kelpan", fp.workingDirectory.path, "YXQ", "Z");
        fp.store.set("kelpan", fp.workingDirectory.path, "ATU", "old");
        fp.beeper.onBeep = [this] { events << QStringLiteral("beep") + idle(); };
        fp.store.onWrite = [this](const QString&, const QString& section, const QString& key,
                                  const QString& value) {
            events << key + u'=' + value +
                          (section == fp.workingDirectory.path ? "" : " elsewhere");
        };
        fp.processes.onStart = [this](const QString& program) {
            events << QStringLiteral("start ") + program + idle() +
                          (fp.cursor.busy ? " busy" : "") + (fp.exit.count ? " after exit" : "");
        };
    }
    QString idle() const { return view.idleTimer ? QString() : QStringLiteral(" idleOff"); }
    std::optional<QString> key(const char* name) const
    {
        return fp.store.get("KELPAN", fp.workingDirectory.path, name);
    }
    void run(const char* entry) { handOff.run(*findCommand(QString::fromLatin1(entry))); }
};

TEST(HandOff, WritesEveryKeyBeforeTheStartAndEndsAfterIt)
{
    const struct
    {
        const char* entry;
        const char* workingDirectory;
        QStringList events;
    } cases[] = {
        {"Command1", "/srv/garage/suite", {"AT=工單作業", "YXQ=A", "start E2.exe idleOff busy"}},
        {"Command2", "/srv/garage/suite", {"ATU=", "AT=結帳登記", "start GD.exe idleOff busy"}},
        {"VR5", "/", {"ATU=", "AT=保險結帳", "start GD.exe idleOff"}},
        {"METV",
         "/srv/garage/suite",
         {"beep idleOff", "AT=業績查詢", "YXQ=A", "start URT.exe idleOff"}},
        {"d55v", "/home/kelpan/舊 帳", {"AT=廠內狀況", "YXQ=A", "start TS5D.exe"}},
    };
    for (const auto& row : cases) {
        HandOffFixture f;
        f.fp.workingDirectory.path = QString::fromUtf8(row.workingDirectory);
        f.fp.store.set("kelpan", f.fp.workingDirectory.path, "YXQ", "Z");
        f.run(row.entry);
        EXPECT_EQ(f.events, row.events) << row.entry;
        EXPECT_EQ(f.fp.exit.count, 1) << row.entry;
        EXPECT_TRUE(f.fp.messages.shown.isEmpty()) << row.entry;
        if (findCommand(QString::fromLatin1(row.entry))->modeKey == ModeKey::Atu) {
            EXPECT_EQ(f.key("YXQ"), QStringLiteral("Z")) << row.entry << ": YXQ must stay";
            const auto atu = f.key("ATU");
            ASSERT_TRUE(atu) << row.entry;
            EXPECT_TRUE(atu->isEmpty() && !atu->isNull()) << row.entry;
        }
    }
}

TEST(HandOff, ModuleThatCannotStartKeepsTheKeysAndTheMenu)
{
    const struct
    {
        const char* entry;
        const char* at;
        int beeps;
        const char* message; // exact text, or "" for a message naming the program
    } cases[] = {
        {"YCB", "綜合日報表", 1, "此功能無效，請使用更新版本"},
        {"Command1", "工單作業", 1, ""},
        {"Command6", "營業查詢", 2, ""},
        {"TY1R", "車型資料作業", 1, ""},
    };
    for (const auto& row : cases) {
        HandOffFixture f;
        const CommandRow& command = *findCommand(QString::fromLatin1(row.entry));
        f.fp.processes.missingAll = true;
        f.run(row.entry);
        EXPECT_EQ(f.fp.exit.count, 0) << row.entry;
        EXPECT_EQ(f.fp.beeper.count, row.beeps) << row.entry;
        ASSERT_EQ(f.fp.messages.shown.size(), 1) << row.entry;
        if (*row.message)
            EXPECT_EQ(f.fp.messages.shown[0], QString::fromUtf8(row.message)) << row.entry;
        else
            EXPECT_TRUE(f.fp.messages.shown[0].contains(QString::fromUtf8(command.program)))
                << row.entry << ": " << f.fp.messages.shown[0].toStdString();
        // The folders searched go to the details, behind the message.
        EXPECT_EQ(f.fp.messages.details[0], *row.message ? QString() : f.fp.processes.searched)
            << row.entry;
        EXPECT_EQ(f.key("AT"), QString::fromUtf8(row.at)) << row.entry;
        EXPECT_EQ(f.key("YXQ"), QStringLiteral("A")) << row.entry;
        EXPECT_FALSE(f.fp.cursor.busy) << row.entry;
        EXPECT_EQ(f.view.idleTimer, !command.stopsIdle) << row.entry;

        // The menu stays usable: the next command hands off and overwrites the keys.
        f.fp.processes.missingAll = false;
        f.run("DRGB");
        EXPECT_EQ(f.fp.exit.count, 1) << row.entry;
        EXPECT_EQ(f.key("AT"), QStringLiteral("雜項支出")) << row.entry;
        EXPECT_EQ(f.key("YXQ"), QStringLiteral("B")) << row.entry;
    }
}

TEST(HandOff, KeyThatCannotBeWrittenStartsNothing)
{
    const struct
    {
        const char* entry;
        int writesBeforeFailure;
        QStringList written;
    } cases[] = {
        {"Command1", 0, {}},
        {"Command2", 1, {"ATU="}},
        {"Command3", 1, {"AT=客戶資料新增"}},
        {"METV", 1, {"AT=業績查詢"}},
        {"Command1", -1, {}}, // the working directory was removed: no section to write under
    };
    for (const auto& row : cases) {
        HandOffFixture f;
        if (row.writesBeforeFailure < 0)
            f.fp.workingDirectory.path.clear();
        int writes = 0;
        f.fp.store.failWrites = row.writesBeforeFailure == 0;
        f.fp.store.onWrite = [&](const QString&, const QString&, const QString&, const QString&) {
            f.fp.store.failWrites = ++writes >= row.writesBeforeFailure;
        };
        const int beepsBefore = findCommand(QString::fromLatin1(row.entry))->beeps ? 1 : 0;
        f.run(row.entry);
        EXPECT_EQ(f.fp.store.writes, row.written) << row.entry;
        EXPECT_TRUE(f.fp.processes.started.isEmpty()) << row.entry;
        EXPECT_EQ(f.fp.exit.count, 0) << row.entry;
        EXPECT_EQ(f.fp.beeper.count, beepsBefore + 1) << row.entry;
        ASSERT_EQ(f.fp.messages.shown.size(), 1) << row.entry;
        EXPECT_TRUE(f.fp.messages.shown[0].contains(u"設定")) << row.entry;
        EXPECT_TRUE(f.fp.cursor.history.isEmpty()) << row.entry;
    }
}

TEST(HandOff, SideLaunchKeepsTheMenuOpenWithItsOwnFailureMessage)
{
    const struct
    {
        const char* entry;
        bool missing;
        bool idleAfter;
        int beeps;
        const char* message;
    } cases[] = {
        {"zx1", false, false, 0, nullptr},
        {"zx1", true, false, 1, "此功能無效，請聯絡程式設計人員"},
        {"qmg2", false, true, 0, nullptr},
        {"qmg2", true, true, 0, "此功能無效"},
    };
    for (const auto& row : cases) {
        HandOffFixture f;
        const CommandRow& command = *findCommand(QString::fromLatin1(row.entry));
        f.fp.processes.missingAll = row.missing;
        f.sideLaunch.run(command);
        EXPECT_EQ(f.fp.processes.started, QStringList{QString::fromUtf8(command.program)})
            << row.entry;
        EXPECT_EQ(f.view.idleTimer, row.idleAfter) << row.entry;
        EXPECT_EQ(f.fp.beeper.count, row.beeps) << row.entry << " missing " << row.missing;
        EXPECT_EQ(f.fp.messages.shown,
                  row.message ? QStringList{QString::fromUtf8(row.message)} : QStringList{})
            << row.entry << " missing " << row.missing;
        EXPECT_TRUE(f.fp.store.writes.isEmpty()) << row.entry;
        EXPECT_EQ(f.fp.exit.count, 0) << row.entry;
    }
}

} // namespace
} // namespace tevo
