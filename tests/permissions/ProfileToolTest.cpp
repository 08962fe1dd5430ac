#include "Version.h"
#include "permissions/PermissionTable.h"
#include "support/ProfileTestFiles.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tevo {
namespace {

using test::big5;
using test::writeBytes;

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome runTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TEVO_PROFILE_TOOL), arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray allKeys(const char* section, const char* value)
{
    QByteArray text = QByteArray("[") + section + "]\r\n";
    for (const PermissionRow& row : permissionTable())
        text += QByteArray(row.key) + '=' + value + "\r\n";
    return text;
}

// The files the verbs are run on: a third-level profile with three refusals written in
// different ways, a clean second level, the same in UTF-16, a name that is missing and a key
// name that would retitle the terminal if printed as it is.
struct ProfileFiles
{
    ProfileFiles()
    {
        QByteArray third = allKeys("第三級", "");
        third.replace(QByteArray("工單作業="), QByteArray("工單作業 = \" NO \" "));
        third.replace(QByteArray("材料編輯="), QByteArray("材料編輯=NO"));
        third.replace(QByteArray("結帳登記="), QByteArray("結帳登記=no"));
        writeBytes(profile, big5(third));
        writeBytes(clean, big5(allKeys("第二級", "NO")));
        const QString text16 = QString::fromUtf8(allKeys("第二級", "NO"));
        writeBytes(utf16, "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text16.utf16()),
                                                  text16.size() * 2));
        writeBytes(retitles, allKeys("第二級", "NO") + "\x1b]0;t\x07=NO\r\n");
    }

    QTemporaryDir dir;
    const QString profile = dir.filePath(u8("權限.INI"));
    const QString clean = dir.filePath(u8("clean.ini"));
    const QString utf16 = dir.filePath(u8("utf16.INI"));
    const QString missing = dir.filePath(u8("missing.INI"));
    const QString retitles = dir.filePath(u8("retitles.INI"));
};

struct VerbRow
{
    QStringList args;
    int exitCode;
    QStringList inOut;    // parts of standard output
    QStringList notInOut; // must not appear
    bool errorText;       // something on standard error
};

void expectOutcome(const VerbRow& row)
{
    const Outcome outcome = runTool(row.args);
    const std::string context = row.args.join(u' ').toStdString();
    EXPECT_EQ(outcome.exitCode, row.exitCode) << context << "\n" << outcome.err.toStdString();
    for (const QString& part : row.inOut)
        EXPECT_TRUE(outcome.out.contains(part))
            << context << " lacks " << part.toStdString() << " in:\n"
            << outcome.out.toStdString();
    for (const QString& part : row.notInOut)
        EXPECT_FALSE(outcome.out.contains(part)) << context << " has " << part.toStdString();
    EXPECT_EQ(!outcome.err.isEmpty(), row.errorText)
        << context << ": " << outcome.err.toStdString();
    if (row.errorText) {
        EXPECT_TRUE(outcome.out.isEmpty()) << context;
    }
}

TEST(ProfileTool, GetAndShow)
{
    const ProfileFiles files;
    const QString& profile = files.profile;
    const QString& clean = files.clean;
    const QString& missing = files.missing;
    const QTemporaryDir& dir = files.dir;
    const VerbRow cases[] = {
        {{"get", profile, u8("第三級"), u8("工單作業")}, 0, {u8(" NO \n")}, {}, false},
        {{"get", dir.filePath(u8("權限.ini")), u8("第三級"), u8("材料編輯")},
         0,
         {u8("NO\n")},
         {},
         false},
        {{"get", profile, u8("第三級"), u8("沒有")}, 0, {}, {}, false},
        {{"get", missing, u8("第三級"), u8("工單作業")}, 0, {}, {}, false},
        {{"show", profile, u8("3")},
         0,
         {u8("選單「工作單作業」"), u8("按鈕「開立新工單」"), u8("選單「材料(零件)資料」"),
          u8("材料資料新增")},
         {u8("結帳登記"), u8("客戶")},
         false},
        {{"show", profile, u8("2")}, 0, {u8("沒有停用任何項目")}, {u8("選單")}, false},
        {{"show", profile, u8("7")}, 0, {u8("不受任何限制")}, {u8("選單")}, false},
        {{"show", clean, u8("2")},
         0,
         {u8("43 個權限項目停用"), u8("發現本系統有更新的版本")},
         {},
         false},
        {{"show", profile, u8("三")}, 2, {}, {}, true},
        {{"show", missing, u8("3")}, 2, {}, {}, true},
    };
    for (const VerbRow& row : cases)
        expectOutcome(row);
    // get prints the value and a line end, nothing else; the default is the empty text.
    EXPECT_EQ(runTool({"get", profile, u8("第三級"), u8("工單作業")}).out, u8(" NO \n"));
    EXPECT_EQ(runTool({"get", missing, u8("第三級"), u8("工單作業")}).out, u8("\n"));
}

TEST(ProfileTool, CheckHelpAndUsage)
{
    const ProfileFiles files;
    const QString& profile = files.profile;
    const QString& clean = files.clean;
    const QString& missing = files.missing;
    const QString& utf16 = files.utf16;
    const QString& retitles = files.retitles;
    const QTemporaryDir& dir = files.dir;
    const QString version = QStringLiteral("tevo-profile %1.%2.%3")
                                .arg(version::kMajor)
                                .arg(version::kMinor)
                                .arg(version::kRevision);
    const VerbRow cases[] = {
        {{"check", clean}, 0, {u8("沒有發現問題")}, {}, false},
        {{"check", profile},
         1,
         {profile + u8(":10: 「結帳登記」的值「no」看似 NO"), u8("發現 1 個問題")},
         {u8(":2:"), u8(":18:")},
         false},
        {{"check", utf16}, 1, {utf16 + u8(": 檔案含有 NUL 位元組")}, {}, false},
        {{"check", retitles}, 1, {u8("「\\u001b]0;t\\u0007」不是權限項目")}, {u8("\x1b")}, false},
        {{"show", utf16, u8("2")}, 0, {u8("沒有停用任何項目")}, {}, false},
        {{"check", missing}, 2, {}, {}, true},
        {{"check", dir.path()}, 2, {}, {}, true},
        {{"--help"},
         0,
         {u8("get FILE SECTION KEY"), u8("show FILE LEVEL"), u8("check FILE")},
         {},
         false},
        {{"get", "--help"}, 0, {u8("tevo-profile get FILE SECTION KEY")}, {}, false},
        {{"show", "--help"}, 0, {u8("tevo-profile show FILE LEVEL")}, {}, false},
        {{"check", "--help"}, 0, {u8("tevo-profile check FILE")}, {}, false},
        {{"--version"}, 0, {version + u'\n'}, {}, false},
        {{}, 2, {}, {}, true},
        {{"set", profile, "a", "b", "c"}, 2, {}, {}, true},
        {{"get", profile, u8("第三級")}, 2, {}, {}, true},
    };
    for (const VerbRow& row : cases)
        expectOutcome(row);
}

} // namespace
} // namespace tevo
