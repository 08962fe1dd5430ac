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
    bool missing = false;
    bool iniFails = false;
    const char* section = nullptr; // where the INI entry is expected, nullptr for none
    const char* started = nullptr; // nullptr for nothing
    int exits = 0;
    int beeps = 0;
    const char* message = nullptr; // a text the message contains, nullptr for no message
    const char* at = nullptr;      // "AT" afterwards, nullptr for not written
    bool idleAfter = false;
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
    if (row.at) {
        EXPECT_EQ(f.fp.store.get("kelpan", f.fp.workingDirectory.path, "YXQ"), QStringLiteral("A"))
            << row.name;
    } else {
        EXPECT_TRUE(f.fp.store.writes.isEmpty()) << row.name;
    }
    EXPECT_EQ(f.view.idleTimer, row.idleAfter) << row.name;
}

TEST(HostOperations, HostOnlyAndCompanyDataLaunches)
{
    const HostRow cases[] = {
        {.name = "backup on host",
         .operation = Backup,
         .host = "/srv/garage/suite  ",
         .section = "備份",
         .started = "PREPARE.exe",
         .beeps = 1},
        {.name = "backup, program missing",
         .operation = Backup,
         .host = "/srv/garage/suite",
         .missing = true,
         .section = "備份",
         .started = "PREPARE.exe",
         .beeps = 2,
         .message = "此功能無效，請聯絡程式設計人員"},
        {.name = "backup, INI unwritable",
         .operation = Backup,
         .host = "/srv/garage/suite",
         .iniFails = true,
         .started = "PREPARE.exe",
         .beeps = 1},
        {.name = "backup on workstation",
         .operation = Backup,
         .host = "/srv/other",
         .beeps = 1,
         .message = "本作業祇能於主機執行",
         .idleAfter = true},
        {.name = "backup, no host",
         .operation = Backup,
         .host = "",
         .beeps = 1,
         .message = "本作業祇能於主機執行",
         .idleAfter = true},
        {.name = "company, no host",
         .operation = Company,
         .host = "",
         .section = "公司",
         .started = "CO.exe"},
        {.name = "company, program missing",
         .operation = Company,
         .host = "",
         .missing = true,
         .section = "公司",
         .started = "CO.exe",
         .beeps = 1,
         .message = "此功能無效，請聯絡程式設計人員"},
        {.name = "permission on host",
         .operation = Permission,
         .host = "/srv/garage/suite",
         .started = "FV.exe",
         .exits = 1,
         .at = "權限設定"},
        {.name = "permission, program missing",
         .operation = Permission,
         .host = "/srv/garage/suite",
         .missing = true,
         .started = "FV.exe",
         .beeps = 1,
         .message = "FV.exe",
         .at = "權限設定"},
        {.name = "permission, case differs",
         .operation = Permission,
         .host = "/srv/garage/Suite",
         .beeps = 1,
         .message = "本作業祇能於主機執行",
         .idleAfter = true},
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
