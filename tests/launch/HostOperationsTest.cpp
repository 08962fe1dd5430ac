#include "launch/HostOperations.h"

#include "launch/HandOff.h"
#include "launch/SideLaunch.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace tevo {
namespace {

using test::FakePlatform;
using test::FakeView;

struct HostFixture
{
    FakePlatform fp;
    FakeView view;
    LoginContext login;
    HandOff handOff{fp.platform, view};
    SideLaunch sideLaunch{fp.platform, view};
    HostOperations operations{fp.platform, handOff, sideLaunch, login};
    QTemporaryDir drive;
    QString iniFile = drive.filePath(QStringLiteral("kelpan.INI"));

    HostFixture() { fp.workingDirectory.root = drive.path(); }
    // The entry the launch left in the suite INI file, or "" when there is none.
    QString iniEntry(const char* section) const
    {
        return fp.profiles.files.value(iniFile).value(QString::fromUtf8(section)).value("目錄位置");
    }
};

enum Operation
{
    Permission,
    Backup,
    Company
};

struct HostRow
{
    const char* name;
    Operation operation;
    const char* host;
    bool missing;
    bool iniFails;
    const char* section; // where the INI entry is expected, nullptr for none
    const char* started; // nullptr for nothing
    int exits;
    int beeps;
    const char* message; // a text the message contains, nullptr for no message
    const char* at;      // "AT" afterwards, nullptr for not written
    bool idleAfter;
};

void checkHostRow(const HostRow& row)
{
    HostFixture f;
    f.login.hostDirectory = QString::fromUtf8(row.host);
    f.fp.processes.missingAll = row.missing;
    f.fp.profiles.failWrites = row.iniFails;
    QString iniAtStart = QStringLiteral("not started");
    f.fp.processes.onStart = [&](const QString&) {
        iniAtStart = row.section ? f.iniEntry(row.section) : QString();
    };
    switch (row.operation) {
    case Permission:
        f.operations.permissionSetting();
        break;
    case Backup:
        f.operations.dataBackup();
        break;
    case Company:
        f.sideLaunch.enterCompanyData();
        break;
    }

    EXPECT_EQ(f.fp.processes.started,
              row.started ? QStringList{QString::fromUtf8(row.started)} : QStringList{})
        << row.name;
    if (row.section) {
        EXPECT_EQ(f.iniEntry(row.section), QStringLiteral("GARVO")) << row.name;
        EXPECT_EQ(iniAtStart, QStringLiteral("GARVO")) << row.name << ": written after start";
        EXPECT_EQ(f.fp.profiles.files.value(f.iniFile).size(), 1) << row.name;
    } else {
        EXPECT_TRUE(f.fp.profiles.files.isEmpty()) << row.name;
    }
    EXPECT_EQ(f.fp.exit.count, row.exits) << row.name;
    EXPECT_EQ(f.fp.beeper.count, row.beeps) << row.name;
    if (row.message) {
        ASSERT_EQ(f.fp.messages.shown.size(), 1) << row.name;
        EXPECT_TRUE(f.fp.messages.shown[0].contains(QString::fromUtf8(row.message)))
            << row.name << ": " << f.fp.messages.shown[0].toStdString();
    } else {
        EXPECT_TRUE(f.fp.messages.shown.isEmpty()) << row.name;
    }
    const auto at = f.fp.store.get("kelpan", f.fp.workingDirectory.path, "AT");
    EXPECT_EQ(at, row.at ? std::optional(QString::fromUtf8(row.at)) : std::nullopt) << row.name;
    if (row.at)
        EXPECT_EQ(f.fp.store.get("kelpan", f.fp.workingDirectory.path, "YXQ"), QStringLiteral("A"))
            << row.name;
    else
        EXPECT_TRUE(f.fp.store.writes.isEmpty()) << row.name;
    EXPECT_EQ(f.view.idleTimer, row.idleAfter) << row.name;
}

TEST(HostOperations, HostOnlyAndCompanyDataLaunches)
{
    const HostRow cases[] = {
        {"backup on host", Backup, "/srv/garage/suite  ", false, false, "備份", "PREPARE.exe", 0, 1,
         nullptr, nullptr, false},
        {"backup, program missing", Backup, "/srv/garage/suite", true, false, "備份", "PREPARE.exe",
         0, 2, "此功能無效，請聯絡程式設計人員", nullptr, false},
        {"backup, INI unwritable", Backup, "/srv/garage/suite", false, true, nullptr, "PREPARE.exe",
         0, 1, nullptr, nullptr, false},
        {"backup on workstation", Backup, "/srv/other", false, false, nullptr, nullptr, 0, 1,
         "本作業祇能於主機執行", nullptr, true},
        {"backup, no host", Backup, "", false, false, nullptr, nullptr, 0, 1,
         "本作業祇能於主機執行", nullptr, true},
        {"company, no host", Company, "", false, false, "公司", "CO.exe", 0, 0, nullptr, nullptr,
         false},
        {"company, program missing", Company, "", true, false, "公司", "CO.exe", 0, 1,
         "此功能無效，請聯絡程式設計人員", nullptr, false},
        {"permission on host", Permission, "/srv/garage/suite", false, false, nullptr, "FV.exe", 1,
         0, nullptr, "權限設定", false},
        {"permission, program missing", Permission, "/srv/garage/suite", true, false, nullptr,
         "FV.exe", 0, 1, "FV.exe", "權限設定", false},
        {"permission, case differs", Permission, "/srv/garage/Suite", false, false, nullptr,
         nullptr, 0, 1, "本作業祇能於主機執行", nullptr, true},
    };
    for (const HostRow& row : cases)
        checkHostRow(row);
}

TEST(HostOperations, CompanyDataStartsAgainEachTimeAndWithoutADrive)
{
    HostFixture f;
    f.sideLaunch.enterCompanyData();
    f.sideLaunch.enterCompanyData();
    EXPECT_EQ(f.fp.processes.started, (QStringList{"CO.exe", "CO.exe"}));

    // A drive whose root cannot be found still gets its company-data module.
    HostFixture noDrive;
    noDrive.fp.workingDirectory.root.clear();
    noDrive.sideLaunch.enterCompanyData();
    EXPECT_EQ(noDrive.fp.processes.started, QStringList{"CO.exe"});
    EXPECT_TRUE(noDrive.fp.profiles.files.isEmpty());
    EXPECT_TRUE(noDrive.fp.messages.shown.isEmpty());
}

} // namespace
} // namespace tevo
