#include "online/OnlineRefresh.h"
#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

const QString kSection = QStringLiteral("/srv/garage/suite");
const QString kVersionUrl =
    QStringLiteral("http://svc.example.test/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7");
const QString kNoticeUrl = QStringLiteral("http://svc.example.test/廣告資料/WE_OUT.ASP?VWX1=A");

// The whole refresh for each pair of replies. A null reply is a transfer failure (28 for the
// version, 7 for the notice); a null expectation leaves the stored value ("old", "舊通告").
TEST(OnlineRefresh, RepliesAreReadByTheirTags)
{
    // version reply, notice reply, stored version, stored notice, error
    const char* cases[][5] = {
        // clang-format off
        {"VW11:2026.12.1", "通告:今日系統維護", "2026.12.1", "今日系統維護", ""},
        {"   VW11:2026.12.1  ", "  通告:休假  ", "2026.12.1", "休假", ""},
        {"VW11:   2026.12.1   ", "通告:  兩個空白", "   2026.12.1", "  兩個空白", ""},
        {"VW11:", "通告:", "", "", ""},
        {"vw11:2026.12.1", "通告：全形冒號", nullptr, nullptr, ""},
        {"2026.12.1", "今日系統維護", nullptr, nullptr, ""},
        {"\tVW11:1.0.0", "\n通告:x", nullptr, nullptr, ""},
        {"VW11", "通告", nullptr, nullptr, ""},
        {"", "", nullptr, nullptr, ""},
        {"<html><title>404 Not Found</title>VW11:1</html>", "<h1>500</h1>", nullptr, nullptr, ""},
        {"\x01\x02\xEF\xBF\xBDVW11:9", "\x7F通告:x", nullptr, nullptr, ""},
        {nullptr, "通告:x", nullptr, nullptr, "28:Timeout was reached"},
        {"VW11:2099.1.1", nullptr, "2099.1.1", nullptr, "7:Couldn't connect to server"},
        // clang-format on
    };
    for (const auto& [versionReply, noticeReply, version, notice, error] : cases) {
        test::FakePlatform fake;
        fake.store.set("EEYX", kSection, "GR", "old");
        fake.store.set("EEYX", kSection, "WE", "舊通告");
        fake.http.replies[kVersionUrl] = versionReply
                                             ? FetchResult::reply(QString::fromUtf8(versionReply))
                                             : FetchResult::failure(28, "Timeout was reached");
        if (noticeReply)
            fake.http.replies[kNoticeUrl] = FetchResult::reply(QString::fromUtf8(noticeReply));

        const Status status = OnlineRefresh(fake.http, fake.store)
                                  .run("svc.example.test", kSection, QStringLiteral(" AB "));

        const char* label = versionReply ? versionReply : "(no version reply)";
        EXPECT_EQ(status.message(), QString::fromUtf8(error)) << label;
        EXPECT_EQ(fake.http.requests.size(), versionReply ? 2 : 1) << label;
        EXPECT_EQ(fake.store.get("EEYX", kSection, "GR"),
                  QString::fromUtf8(version ? version : "old"))
            << label;
        EXPECT_EQ(fake.store.get("EEYX", kSection, "WE"),
                  QString::fromUtf8(notice ? notice : "舊通告"))
            << label;
    }
}

TEST(OnlineRefresh, StoreThatCannotBeWrittenEndsTheRefresh)
{
    test::FakePlatform fake;
    fake.store.failWrites = true;
    fake.http.replies[kVersionUrl] = FetchResult::reply("VW11:1.0.0");
    EXPECT_FALSE(
        OnlineRefresh(fake.http, fake.store).run("svc.example.test", kSection, "A").isOk());
    EXPECT_EQ(fake.http.requests, QStringList{kVersionUrl});
}

} // namespace
} // namespace tevo
