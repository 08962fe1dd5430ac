#include "permissions/PermissionProfile.h"

#include "permissions/PermissionTable.h"
#include "platform/IniProfileFiles.h"
#include "support/Fakes.h"
#include "support/ProfileTestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>

namespace tevo {
namespace {

using test::big5;
using test::FakeView;
using test::writeBytes;

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// Every key of one section set to `value`.
QByteArray wholeSection(const char* section, const char* value)
{
    QByteArray text = QByteArray("[") + section + "]\r\n";
    for (const PermissionRow& row : permissionTable())
        text += QByteArray(row.key) + '=' + value + "\r\n";
    return text;
}

// Reads through the real reader and records what was asked.
class RecordingProfiles : public ProfileFiles
{
public:
    QString readString(const QString& file, const QString& section, const QString& key,
                       const QString& defaultValue, int bufferSize) override
    {
        asked.append(file + u'|' + section + u'|' + key + u'|' + QString::number(bufferSize));
        return real.readString(file, section, key, defaultValue, bufferSize);
    }
    Status writeString(const QString&, const QString&, const QString&, const QString&) override
    {
        return Status::error(QStringLiteral("the permission profile is never written"));
    }
    IniProfileFiles real;
    QStringList asked;
};

class ApplyPermissions : public ::testing::Test
{
protected:
    // A login whose profile is <temp>/權限/權限.INI.
    LoginContext login(int level)
    {
        LoginContext context;
        context.hostDirectory = m_dir.path();
        context.profileFolder = u8("/權限/");
        context.userLevel = qint16(level);
        return context;
    }
    void writeProfile(const QByteArray& utf8)
    {
        QDir(m_dir.path()).mkpath(u8("權限"));
        writeBytes(m_dir.filePath(u8("權限/權限.INI")), big5(utf8));
    }
    FakeView apply(int level)
    {
        FakeView view;
        applyPermissions(m_profiles, login(level), view);
        return view;
    }
    QTemporaryDir m_dir;
    IniProfileFiles m_profiles;
};

TEST_F(ApplyPermissions, EachLevelGreysExactlyItsRowsMenuEntryFirst)
{
    writeProfile(
        "[第二級]\r\n工單作業=NO\r\n"
        "[第三級]\r\n客戶編輯=NO\r\n材料編輯=\" NO \"\r\n結帳登記=no\r\n更新='NO'\r\n日報表=No\r\n"
        "[第四級]\r\n更新=NO\r\n" +
        wholeSection("第五級", "NO") + "[第六級]\r\n" + wholeSection("第一級", "NO") +
        wholeSection("第七級", "NO"));
    QStringList allControls;
    for (const PermissionRow& row : permissionTable()) {
        allControls.append(u8(row.menuEntry));
        if (row.button)
            allControls.append(u8(row.button));
    }
    const struct
    {
        int level;
        QStringList greyed; // in the order greyed
    } cases[] = {
        {2, {"DC222R", "Command1"}},
        {3, {"QA", "DCYX", "Command3", "TGEV", "Command8"}},
        {4, {"TGEV", "Command8"}},
        {5, allControls},
        {6, {}},
        {1, {}},
        {0, {}},
        {-1, {}},
        {7, {}},
        {100, {}},
    };
    for (const auto& row : cases) {
        const FakeView view = apply(row.level);
        EXPECT_EQ(view.enableCalls, row.greyed) << "level " << row.level;
        EXPECT_EQ(view.disabled.size(), row.greyed.size()) << "level " << row.level;
        EXPECT_FALSE(view.updateVisible) << "level " << row.level;
    }
}

TEST_F(ApplyPermissions, OnlyNoInCapitalsForbids)
{
    const struct
    {
        const char* line;
        bool forbids;
    } cases[] = {
        {"工單作業=NO", true},        {"工單作業 = NO ", true},    {"\t工單作業\t=\tNO\t", true},
        {"工單作業=\"NO\"", true},    {"工單作業=\" NO \"", true}, {"工單作業='NO'", true},
        {"工單作業=no", false},       {"工單作業=No", false},      {"工單作業=nO", false},
        {"工單作業=N0", false},       {"工單作業=NO.", false},     {"工單作業=\"NO\t\"", false},
        {"工單作業=NO ;停用", false}, {"工單作業=\"NO'", false},   {"工單作業", false},
        {"工單作業=", false},         {";工單作業=NO", false},     {"工單作業=YES", false},
    };
    for (const auto& row : cases) {
        writeProfile(QByteArray("[第三級]\r\n") + row.line + "\r\n");
        const FakeView view = apply(3);
        EXPECT_EQ(!view.isControlEnabled(u8("DC222R")), row.forbids) << row.line;
        EXPECT_EQ(!view.isControlEnabled(u8("Command1")), row.forbids) << row.line;
    }
}

TEST_F(ApplyPermissions, ProfileLocation)
{
    QDir(m_dir.path()).mkpath(u8("cfg/P"));
    writeBytes(m_dir.filePath(u8("cfg/P/p.ini")), ""); // only a different-case name
    QDir(m_dir.path()).mkpath(u8("cfg/R"));
    writeBytes(m_dir.filePath(u8("cfg/R/R.INI")), ""); // both: the exact name wins
    writeBytes(m_dir.filePath(u8("cfg/R/r.ini")), "");
    const QString host = m_dir.filePath(u8("cfg"));
    const struct
    {
        QString host;
        QString folder;
        std::optional<QString> expected;
    } cases[] = {
        {u8("/srv/garage"), u8("/權限/"), u8("/srv/garage/權限/權限.INI")},
        {u8("  /srv/garage  "), u8("/權限/"), u8("/srv/garage/權限/權限.INI")},
        {u8("/srv/garage"), u8(" /p/ "), u8("/srv/garage /p/ /p/.INI")},
        {u8("/srv/garage/"), u8("ab"), u8("/srv/garage/ab.INI")}, // two characters
        {QString(), u8("/權限/"), u8("/權限/權限.INI")},          // empty host directory
        {u8("/srv"), u8("a"), std::nullopt},
        {u8("/srv"), QString(), std::nullopt},
        {host, u8("/P/"), host + u8("/P/p.ini")},
        {host, u8("/R/"), host + u8("/R/R.INI")},
    };
    for (const auto& row : cases) {
        LoginContext context;
        context.hostDirectory = row.host;
        context.profileFolder = row.folder;
        EXPECT_EQ(permissionProfilePath(context), row.expected)
            << row.host.toStdString() << " + " << row.folder.toStdString();
    }
}

// Under Wine the name is built from Windows names and then mapped to a local path; one that
// cannot be mapped stays as built (a missing file).
TEST_F(ApplyPermissions, ProfileLocationThroughWindowsDriveLetters)
{
    QDir(m_dir.path()).mkpath(u8("GARVO/權限"));
    writeBytes(m_dir.filePath(u8("GARVO/權限/權限.ini")), "");
    const QString drive = m_dir.path();
    const SuitePathMapping toLocal = [&drive](QString path) {
        return path.startsWith(u8("D:\\")) ? drive + u'/' + path.mid(3).replace(u'\\', u'/')
                                           : QString();
    };
    for (const auto& [host, expected] :
         {std::pair{u8(" D:\\GARVO "), drive + u8("/GARVO/權限/權限.ini")},
          std::pair{u8("Q:\\GARVO"), u8("Q:\\GARVO\\權限\\權限.INI")}}) {
        LoginContext context;
        context.hostDirectory = host;
        context.profileFolder = u8("\\權限\\");
        EXPECT_EQ(permissionProfilePath(context, toLocal), expected) << host.toStdString();
    }
}

TEST_F(ApplyPermissions, TwoCharacterFolderAndEmptyHostDirectory)
{
    // "ab": <host>/ab.INI. No host directory: the folder text alone, here an absolute path,
    // gives <temp>/ + <temp without its first "/"> + ".INI".
    const QString folderText = m_dir.path() + u'/';
    const QString noHostFile = folderText + folderText.mid(1, folderText.size() - 2) + u8(".INI");
    QDir().mkpath(QFileInfo(noHostFile).path());
    writeBytes(noHostFile, big5("[第二級]\r\n各人=NO\r\n"));
    writeBytes(m_dir.filePath(u8("ab.INI")), big5("[第二級]\r\n工具=NO\r\n"));
    const struct
    {
        QString host;
        QString folder;
        const char* greyed;
    } cases[] = {{m_dir.path() + u'/', u8("ab"), "er1r"}, {QString(), folderText, "METV"}};
    for (const auto& row : cases) {
        LoginContext context;
        context.hostDirectory = row.host;
        context.profileFolder = row.folder;
        context.userLevel = 2;
        FakeView view;
        applyPermissions(m_profiles, context, view);
        EXPECT_EQ(view.enableCalls, QStringList{u8(row.greyed)}) << row.folder.toStdString();
    }
}

TEST_F(ApplyPermissions, MissingOrDamagedProfileRestrictsNothing)
{
    EXPECT_TRUE(apply(3).enableCalls.isEmpty());    // no file yet
    QDir(m_dir.path()).mkpath(u8("權限/權限.INI")); // a folder in its place
    EXPECT_TRUE(apply(3).enableCalls.isEmpty());
    LoginContext shortFolder = login(3);
    shortFolder.profileFolder = u8("/");
    FakeView view;
    applyPermissions(m_profiles, shortFolder, view);
    EXPECT_TRUE(view.enableCalls.isEmpty());
}

TEST_F(ApplyPermissions, EveryKeyIsReadAfreshAndNothingIsReenabled)
{
    writeProfile("[第三級]\r\n工單作業=NO\r\n");
    RecordingProfiles profiles;
    FakeView view;
    applyPermissions(profiles, login(3), view);
    ASSERT_EQ(profiles.asked.size(), 43);
    const QString file = m_dir.path() + u8("/權限/權限.INI");
    for (int i = 0; i < 43; ++i)
        EXPECT_EQ(profiles.asked[i],
                  file + u8("|第三級|") + u8(permissionTable()[i].key) + u8("|200"));

    writeProfile("[第三級]\r\n工單作業=no\r\n更新=NO\r\n"); // a second run only adds greying
    applyPermissions(profiles, login(3), view);
    EXPECT_EQ(view.enableCalls,
              (QStringList{u8("DC222R"), u8("Command1"), u8("TGEV"), u8("Command8")}));
    EXPECT_FALSE(view.isControlEnabled(u8("DC222R")));
}

// Reports how long a full 43-key profile takes; the figure goes into the test log.
TEST_F(ApplyPermissions, FortyThreeKeyProfileTiming)
{
    QByteArray profile = "; 權限設定\r\n";
    for (const char* section : {"第二級", "第三級", "第四級", "第五級", "第六級"})
        profile += wholeSection(section, "NO") + "\r\n";
    writeProfile(profile);
    constexpr int kRuns = 200;
    QElapsedTimer timer;
    timer.start();
    FakeView view;
    for (int i = 0; i < kRuns; ++i) {
        view = FakeView();
        applyPermissions(m_profiles, login(6), view);
    }
    const double perRunMs = double(timer.nsecsElapsed()) / kRuns / 1e6;
    std::cout << "[ timing ] 43-key profile (" << profile.size()
              << " bytes, 5 sections): " << perRunMs << " ms per application\n";
    RecordProperty("milliseconds_per_application", std::to_string(perRunMs));
    EXPECT_EQ(view.disabled.size(), 50); // 43 menu entries and 7 buttons
}

} // namespace
} // namespace tevo
