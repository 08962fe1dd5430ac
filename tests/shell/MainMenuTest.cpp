#include "shell/MainMenu.h"

#include "resources/StringTable.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

using test::FakePlatform;
using test::FakeView;

const QString kSection = QStringLiteral("/srv/garage/suite");

class MainMenuTest : public ::testing::Test
{
protected:
    void login(const QString& name, const QString& level)
    {
        fake.store.set("kelpan", kSection, "VA", name);
        fake.store.set("kelpan", kSection, "AAA", level);
        fake.store.set("kelpan", kSection, "mx", "/權限/");
        fake.store.set("kelpan", kSection, "r5", "/srv/garage");
    }

    FakePlatform fake;
    FakeView view;
};

TEST_F(MainMenuTest, LoadingReadsLoginContextOnceSetsCountdownAndBeepsOnce)
{
    login(QStringLiteral("  王小明 "), QStringLiteral("3.5"));
    MainMenu menu(fake.platform, view);
    ASSERT_TRUE(menu.load());

    EXPECT_EQ(menu.loginContext().displayName, QStringLiteral("  王小明 "));
    EXPECT_EQ(menu.loginContext().userLevel, 4);
    EXPECT_EQ(menu.loginContext().profileFolder, QStringLiteral("/權限/"));
    EXPECT_EQ(menu.loginContext().hostDirectory, QStringLiteral("/srv/garage"));
    EXPECT_EQ(view.countdown, 100);
    EXPECT_EQ(fake.beeper.count, 1);
    EXPECT_TRUE(fake.store.writes.isEmpty()) << "loading never writes the login context back";

    // A later change in the store is not seen: the context is read once.
    fake.store.set("kelpan", kSection, "VA", "李四");
    menu.activate();
    EXPECT_TRUE(view.status.startsWith(QStringLiteral("歡迎 王小明 進入本系統  ")));
}

TEST(MainMenuLoad, UnreadableLoginContextStopsBeforeAnythingHappens)
{
    const struct
    {
        const char* unreadableKey; // "" for none
        const char* workingDirectory;
        const char* named; // in the message
    } cases[] = {
        {"mx", "/srv/garage/suite", "「mx」"},
        {"VA", "/srv/garage/suite", "「VA」"},
        {"AAA", "/srv/garage/suite", "「AAA」"},
        {"r5", "/srv/garage/suite", "「r5」"},
        {"", "", "工作目錄"},                               // the folder was removed
        {"", "(unreachable)/srv/garage/suite", "工作目錄"}, // outside the process's root
    };
    for (const auto& row : cases) {
        FakePlatform fake;
        FakeView view;
        fake.store.set("kelpan", kSection, "AAA", "3");
        fake.store.failReadsOf = {QString::fromLatin1(row.unreadableKey)};
        fake.workingDirectory.path = QString::fromUtf8(row.workingDirectory);
        MainMenu menu(fake.platform, view);
        const Status loaded = menu.load();
        ASSERT_FALSE(loaded) << row.unreadableKey << row.workingDirectory;
        EXPECT_TRUE(loaded.message().contains(QString::fromUtf8(row.named)))
            << loaded.message().toStdString();
        if (*row.unreadableKey) {
            EXPECT_TRUE(loaded.message().contains(u"store damaged")) << row.unreadableKey;
        }
        EXPECT_TRUE(fake.store.writes.isEmpty()) << row.unreadableKey << row.workingDirectory;
        EXPECT_TRUE(fake.processes.started.isEmpty()) << row.unreadableKey;
        EXPECT_EQ(fake.beeper.count, 0) << row.unreadableKey << row.workingDirectory;
        EXPECT_EQ(view.countdown, 0) << row.unreadableKey << row.workingDirectory;
    }
}

TEST_F(MainMenuTest, WelcomeLineWithAndWithoutName)
{
    const struct
    {
        const char* name;
        const char* expectedStart;
    } cases[] = {
        {"王小明", "歡迎 王小明 進入本系統  "},
        {"  王小明  ", "歡迎 王小明 進入本系統  "},
        {"", "歡迎  進入本系統  "},
        {"A B", "歡迎 A B 進入本系統  "},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(welcomeLine(QString::fromUtf8(row.name)),
                  QString::fromUtf8(row.expectedStart) + loadString(309))
            << row.name;
    }
}

TEST_F(MainMenuTest, PermissionProfileAppliedOnlyAboveLevelOneAndOnlyAtFirstActivation)
{
    const struct
    {
        const char* level;
        bool profileRead;
    } cases[] = {{"", false}, {"0", false}, {"1", false}, {"1.5", true},
                 {"2", true}, {"6", true},  {"7", false}, {"-3", false}};
    // Level 7 and above have no section in the profile, so nothing is read for them.
    for (const auto& row : cases) {
        FakePlatform platform;
        FakeView v;
        platform.store.set("kelpan", kSection, "AAA", QString::fromUtf8(row.level));
        platform.store.set("kelpan", kSection, "mx", "/權限/");
        MainMenu menu(platform.platform, v);
        ASSERT_TRUE(menu.load());
        menu.activate();
        const int readsAfterFirst = platform.profiles.reads;
        EXPECT_EQ(readsAfterFirst > 0, row.profileRead) << row.level;
        v.status.clear();
        menu.activate();
        EXPECT_EQ(platform.profiles.reads, readsAfterFirst) << row.level;
        EXPECT_TRUE(v.status.isEmpty()) << "a later activation leaves the status line";
    }
}

TEST_F(MainMenuTest, SettledWindowLeavesNothingForTheFirstKeyPress)
{
    login(QStringLiteral("王小明"), QStringLiteral("1"));
    MainMenu menu(fake.platform, view);
    ASSERT_TRUE(menu.load());
    menu.activate();
    const int readsBefore = fake.profiles.reads;
    menu.settled();
    EXPECT_EQ(fake.cursor.prepared, 1);
    EXPECT_GT(fake.profiles.reads, readsBefore) << "the suite INI file is read once settled";
    EXPECT_FALSE(fake.cursor.busy) << "getting the hourglass ready does not show it";

    const int readsSettled = fake.profiles.reads;
    menu.keyPressed();
    menu.keyPressed();
    EXPECT_EQ(fake.profiles.reads, readsSettled);
}

TEST_F(MainMenuTest, HeadersBeepAndGreyedControlsDoNothing)
{
    MainMenu menu(fake.platform, view);
    ASSERT_TRUE(menu.load());
    const int beeps = fake.beeper.count;
    for (const char* header : {"ES", "uu2r", "tdex", "dryu", "r1yx", "WGW1"})
        menu.headerOpened(QString::fromLatin1(header));
    EXPECT_EQ(fake.beeper.count, beeps + 6);

    // Unknown names and greyed controls never reach a program.
    view.disabled.insert(QStringLiteral("qmg2"));
    menu.trigger(QStringLiteral("qmg2"));
    menu.trigger(QStringLiteral("nosuchcontrol"));
    EXPECT_TRUE(fake.processes.started.isEmpty());
    EXPECT_EQ(fake.exit.count, 0);
}

TEST_F(MainMenuTest, LeavingStartsEntryProgramOnceAndEndsEvenWhenItCannotStart)
{
    {
        FakePlatform platform;
        FakeView v;
        MainMenu menu(platform.platform, v);
        ASSERT_TRUE(menu.load());
        const int beeps = platform.beeper.count;
        menu.closeRequested();
        EXPECT_EQ(platform.processes.started, QStringList{QStringLiteral("GARVO.exe")});
        EXPECT_EQ(platform.beeper.count, beeps + 1) << "closing the window beeps once";
        EXPECT_EQ(platform.exit.count, 1);
        EXPECT_FALSE(v.idleTimer);
        EXPECT_TRUE(platform.messages.shown.isEmpty());
    }
    {
        FakePlatform platform;
        FakeView v;
        platform.processes.missing.insert(QStringLiteral("GARVO.exe"));
        MainMenu menu(platform.platform, v);
        ASSERT_TRUE(menu.load());
        menu.closeRequested();
        ASSERT_EQ(platform.messages.shown.size(), 1);
        EXPECT_TRUE(platform.messages.shown.front().contains(QStringLiteral("GARVO.exe")));
        EXPECT_EQ(platform.exit.count, 1)
            << "the menu never stays open on an unattended workstation";
    }
}

} // namespace
} // namespace tevo
