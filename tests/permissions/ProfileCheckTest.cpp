#include "permissions/ProfileCheck.h"

#include "permissions/PermissionTable.h"
#include "platform/ProfileDocument.h"
#include "support/ProfileTestFiles.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

using test::big5;

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// Every key of the section, each "NO" except `except` (left out).
QByteArray section(const char* name, const char* except = "")
{
    QByteArray text = QByteArray("[") + name + "]\r\n";
    for (const PermissionRow& row : permissionTable()) {
        if (qstrcmp(row.key, except) != 0)
            text += QByteArray(row.key) + "=NO\r\n";
    }
    return text;
}

TEST(ProfileCheck, FindsWhatSurprisesAnAdministrator)
{
    const QByteArray clean = section("第三級");               // lines 1 to 44
    const QByteArray lacking = section("第三級", "工單作業"); // lines 1 to 43
    const struct
    {
        const char* what;
        QByteArray bytes;
        std::vector<std::pair<int, const char*>> findings; // line, part of the message
    } cases[] = {
        {"clean", big5(clean + "; 說明\r\n\r\n" + section("第二級")), {}},
        {"not a level", big5(clean + "[第七級]\r\n工單作業=NO\r\n"), {{45, "不是使用者等級"}}},
        {"repeated level", big5(clean + "[第三級]\r\n"), {{45, "重複（第一次在第 1 行）"}}},
        {"unknown key", big5(clean + "工單=NO\r\n"), {{45, "「工單」不是權限項目"}}},
        {"repeated key", big5(clean + "工單作業=YES\r\n"), {{45, "「工單作業」重複"}}},
        {"no =", big5(lacking + "工單作業\r\n"), {{44, "沒有「=」"}}},
        {"lacking keys", big5(lacking), {{1, "缺少 1 個權限項目"}}},
        {"outside any section", big5("工單作業=NO\r\n" + clean), {{1, "不在任何段落"}}},
        {"not text",
         big5(clean) + "[x]\r\n\xFF\xB3=1\r\n",
         {{45, "不是使用者等級"}, {46, "既不是 Big5"}}},
        {"marked but not UTF-8",
         "\xEF\xBB\xBF" + clean + "x\xE5\r\n",
         {{45, "不是有效的 UTF-8"}, {45, "不是權限項目"}}},
        {"refusal look-alike", big5(lacking + "工單作業=No\r\n"), {{44, "看似 NO"}}},
    };
    for (const auto& row : cases) {
        const auto doc = ProfileDocument::parse(row.bytes);
        ASSERT_TRUE(doc) << row.what;
        const std::vector<ProfileFinding> findings = checkPermissionProfile(*doc);
        ASSERT_EQ(findings.size(), row.findings.size()) << row.what;
        for (std::size_t i = 0; i < findings.size(); ++i) {
            EXPECT_EQ(findings[i].line, row.findings[i].first) << row.what;
            EXPECT_TRUE(findings[i].message.contains(u8(row.findings[i].second)))
                << row.what << ": " << findings[i].message.toStdString();
        }
    }
}

TEST(ProfileCheck, ValuesThatLookLikeARefusalButAllow)
{
    const struct
    {
        const char* written; // as the line holds it after "="
        bool reported;
    } cases[] = {
        {"no", true},       {"No", true},       {"nO", true},    {"N0", true},    {"NO.", true},
        {"NO。", true},     {"\"NO\t\"", true}, {"'NO\"", true}, {"ＮＯ", true},  {"　NO　", true},
        {"NO ;停用", true}, {"「NO」", true},   {"NO", false},   {" NO ", false}, {"\"NO\"", false},
        {"' NO '", false},  {"YES", false},     {"", false},     {"NOT", false},  {"NONE", false},
        {"ON", false},
    };
    for (const auto& row : cases) {
        const auto doc = ProfileDocument::parse(
            big5(section("第三級", "更新") + "更新=" + row.written + "\r\n"));
        ASSERT_TRUE(doc) << row.written;
        const std::vector<ProfileFinding> findings = checkPermissionProfile(*doc);
        EXPECT_EQ(findings.size(), row.reported ? 1u : 0u) << row.written;
    }
}

} // namespace
} // namespace tevo
