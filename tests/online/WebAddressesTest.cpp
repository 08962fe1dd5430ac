#include "online/WebAddresses.h"
#include "Version.h"
#include "online/HostConfig.h"
#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

// Customer codes go into the query as text, trimmed and never escaped.
TEST(WebAddresses, IdentityShortcutPagesCarryCodeAndNumberAsText)
{
    // entry, customer code, system number, address
    const char* cases[][4] = {
        // clang-format off
        {"bbvg", "A123", "305441741", "http://h.test/11v/index.ASP?RVG2C=1VWX1=R&YHY=A123&DC2A=305441741"},
        {"trvzn", "A1", "9", "http://h.test/STANDARD/TVRVRE_A.ASP?RVG2C=1&VW2A=R&YHY=A1&DC2A=9"},
        {"bbvg", "", "", "http://h.test/11v/index.ASP?RVG2C=1VWX1=R&YHY=&DC2A="},
        {"bbvg", "  A 1 ", " 7 ", "http://h.test/11v/index.ASP?RVG2C=1VWX1=R&YHY=A 1&DC2A=7"},
        {"bbvg", "大發;rm -rf ~$(x)`y`", "1", "http://h.test/11v/index.ASP?RVG2C=1VWX1=R&YHY=大發;rm -rf ~$(x)`y`&DC2A=1"},
        {"bbvg", "x@evil/../a?b", "1", "http://h.test/11v/index.ASP?RVG2C=1VWX1=R&YHY=x@evil/../a?b&DC2A=1"},
        {"bbvg", "A#B&DC2A=9+%41", "1", "http://h.test/11v/index.ASP?RVG2C=1VWX1=R&YHY=A#B&DC2A=9+%41&DC2A=1"},
        // clang-format on
    };
    for (const auto& [entry, code, number, expected] : cases) {
        const char* path = identityShortcutPath(QString::fromLatin1(entry));
        ASSERT_NE(path, nullptr) << entry;
        EXPECT_EQ(identityShortcutAddress("h.test", path, QString::fromUtf8(code),
                                          QString::fromUtf8(number)),
                  QString::fromUtf8(expected))
            << code;
    }
}

TEST(WebAddresses, NoticeFetchSendsTheFirstCharacterOfTheCode)
{
    const char* cases[][2] = {{"AB12", "A"},  {"  b ", "b"}, {"", ""},   {"   ", ""},
                              {"大發", "大"}, {"𠀋x", "𠀋"}, {"#1", "#"}};
    for (const auto& [code, sent] : cases) {
        EXPECT_EQ(noticeFetchAddress("h.test:81", QString::fromUtf8(code)),
                  "http://h.test:81/廣告資料/WE_OUT.ASP?VWX1=" + QString::fromUtf8(sent))
            << code;
    }
}

TEST(HostConfig, OnlyPlainHostsReplaceTheDefaults)
{
    const char* accepted[] = {"svc.example.test", "svc.example.test:8080",
                              "10.0.0.5:80",      "localhost",
                              "[::1]:8080",       "svc.example.test."};
    const char* rejected[] = {
        "",
        "http://evil.test",
        "evil.test/path",
        "user@evil.test",
        "evil test",
        "evil.test:0",
        "evil.test:65536",
        "evil.test:",
        "evil.test:80:81",
        "evil.test?x=1",
        "evil.test#x",
        "evil.test\\x",
        "-evil.test",
        "evil..test",
        "主機.test",
        "[::1",
        "[zz::1]",
        "evil.test:8a",
        "evil.test;rm",
    };
    const auto check = [](const char* configured, bool accept) {
        test::FakePlatform fake;
        fake.workingDirectory.root = "/nonexistent/tevo-drive";
        auto& online = fake.profiles.files["/nonexistent/tevo-drive/kelpan.INI"]["online"];
        for (const char* key : {"servicehost", "downloadhost", "licensinghost"})
            online[key] = QString::fromUtf8(configured);
        const HostConfig hosts = HostConfig::load(fake.profiles, fake.workingDirectory);
        const QString value = QString::fromUtf8(configured);
        EXPECT_EQ(hosts.serviceHost, accept ? value : version::kServiceHost) << configured;
        EXPECT_EQ(hosts.downloadHost, accept ? value : version::kDownloadHost) << configured;
        EXPECT_EQ(hosts.licensingHost, accept ? value : version::kLicensingHost) << configured;
    };
    for (const char* host : accepted)
        check(host, true);
    for (const char* host : rejected)
        check(host, false);
}

} // namespace
} // namespace tevo
