#include "online/OnlineServices.h"
#include "online/RunningVersion.h"
#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

const QString kHere = QStringLiteral("/srv/garage/suite");
const QString kVersionUrl =
    QStringLiteral("http://svc.example.test:8080/standard/vw11/vw11_NEW.ASP?VW2A=RWIN7");
const QString kNoticeUrl = QStringLiteral("http://svc.example.test:8080/廣告資料/WE_OUT.ASP?VWX1=");
const QString kSetupUrl = QStringLiteral("http://dl.example.test/TEVO_WEB/UP_EXE/1/GARVO_WIN7.EXE");
const QString kCurrent = QStringLiteral("目前已是最新版本無需更新");
const QString kRestart = QStringLiteral("下載安裝完成後請重新啟動本系統");
const QString kNoConnection = QStringLiteral("網路無法連線");

class FailingShellOpener : public ShellOpener
{
public:
    Status open(const QString& address) override
    {
        attempts.append(address);
        return Status::error(QStringLiteral("找不到 xdg-open"));
    }
    QStringList attempts;
};

// The online services on fakes: hosts from the suite INI file, this workstation is the host, the
// company data is complete and the volume serial has its top bit set.
struct Harness
{
    Harness()
    {
        fake.workingDirectory.root = "/nonexistent/tevo-drive";
        auto& online = fake.profiles.files["/nonexistent/tevo-drive/kelpan.INI"]["online"];
        online["servicehost"] = "svc.example.test:8080";
        online["downloadhost"] = "dl.example.test";
        online["licensinghost"] = "lic.example.test";
        login.hostDirectory = kHere + "  ";
        for (const char* pair :
             {"公司名稱=大發車業", "地址=台北市", "聯絡人=王先生", "電話=02-1", "YHYC= A123 "}) {
            const QStringList kv = QString::fromUtf8(pair).split(u'=');
            fake.store.set("KELPAN", kHere, kv[0], kv[1]);
        }
        fake.volumeSerial.serial = static_cast<qint32>(0x80000000u);
        fake.messages.onShow = [this](const QString&) {
            busyAtMessage.append(fake.cursor.busy);
            openedAtMessage.append(fake.shell.opened.size());
        };
    }
    void reply(const QString& url, const char* body)
    {
        fake.http.replies[url] = body ? FetchResult::reply(QString::fromUtf8(body))
                                      : FetchResult::failure(28, "Timeout was reached");
    }

    test::FakePlatform fake;
    test::FakeView view;
    LoginContext login;
    int basicDataCalls = 0;
    QList<bool> busyAtMessage; // the pointer while each message box was open
    QList<qsizetype> openedAtMessage;
    OnlineServices online{fake.platform, view, login, [this] { ++basicDataCalls; }};
};

TEST(OnlineServices, UpgradeCheckShowsTheButtonOnAnyDifference)
{
    const QString v = runningVersionString();
    const struct
    {
        std::optional<QString> stored;
        bool visible;
    } cases[] = {{std::nullopt, true},    {"", true},         {v, false},
                 {"  " + v + " ", false}, {"2000.1.1", true}, {v + ".0", true}};
    for (const auto& row : cases) {
        Harness h;
        if (row.stored)
            h.fake.store.set("EEYX", kHere, "GR", *row.stored);
        h.online.upgradeCheck();
        EXPECT_EQ(h.view.isUpdateButtonVisible(), row.visible)
            << row.stored.value_or("-").toStdString();
    }
}

TEST(OnlineServices, UpdateCommandPaths)
{
    const QByteArray equal = "VW11: " + runningVersionString().toUtf8();
    const struct
    {
        const char* label;
        QString hostDirectory;
        const char* versionReply; // nullptr: no connection
        const char* noticeReply;  // nullptr: time-out
        QStringList messages = {};
        QStringList opened = {};
        int requests = 0;
        int ends = 0;
        int beeps = 0;
    } cases[] = {
        // clang-format off
        {.label = "not the host", .hostDirectory = "/srv/garage", .versionReply = "VW11:9",
         .noticeReply = "", .messages = {"本作業祇能於主機執行"}, .beeps = 1},
        {.label = "host, other case", .hostDirectory = "/SRV/garage/suite",
         .versionReply = "VW11:9", .noticeReply = "", .messages = {"本作業祇能於主機執行"}, .beeps = 1},
        {.label = "equal", .hostDirectory = kHere, .versionReply = equal.constData(),
         .noticeReply = "", .messages = {kCurrent}, .requests = 2},
        {.label = "newer", .hostDirectory = kHere, .versionReply = "VW11:2099.1.1",
         .noticeReply = "通告:x", .messages = {kRestart}, .opened = {kSetupUrl}, .requests = 2,
         .ends = 1},
        {.label = "no tag, old value differs", .hostDirectory = kHere,
         .versionReply = "<h1>404</h1>", .noticeReply = "", .messages = {kRestart},
         .opened = {kSetupUrl}, .requests = 2, .ends = 1},
        {.label = "no connection", .hostDirectory = kHere, .versionReply = nullptr,
         .noticeReply = "", .messages = {"7:Couldn't connect to server"}, .requests = 1},
        {.label = "notice times out", .hostDirectory = kHere, .versionReply = "VW11:2099.1.1",
         .noticeReply = nullptr, .messages = {"28:Timeout was reached"}, .requests = 2},
        // clang-format on
    };
    for (const auto& row : cases) {
        Harness h;
        h.login.hostDirectory = row.hostDirectory;
        h.fake.store.set("EEYX", kHere, "GR", "old");
        if (row.versionReply)
            h.reply(kVersionUrl, row.versionReply);
        h.reply(kNoticeUrl, row.noticeReply);

        h.online.updateCommand();

        EXPECT_EQ(h.fake.messages.shown, row.messages) << row.label;
        EXPECT_EQ(h.fake.shell.opened, row.opened) << row.label;
        EXPECT_EQ(h.fake.http.requests.size(), row.requests) << row.label;
        EXPECT_EQ(h.fake.exit.count, row.ends) << row.label;
        EXPECT_EQ(h.fake.beeper.count, row.beeps) << row.label;
        // The hourglass is shown only around network work and is always taken down again.
        EXPECT_FALSE(h.fake.cursor.busy) << row.label;
        EXPECT_EQ(h.fake.cursor.history.isEmpty(), row.requests == 0) << row.label;
        // The download message comes before the browser; "already current" without hourglass.
        EXPECT_EQ(h.openedAtMessage, QList<qsizetype>(row.messages.size(), 0)) << row.label;
        if (row.messages == QStringList{kCurrent}) {
            EXPECT_EQ(h.busyAtMessage, QList<bool>{false}) << row.label;
        }
    }
}

TEST(OnlineServices, UpdateStaysOpenWhenTheBrowserCannotBeStarted)
{
    Harness h;
    h.reply(kVersionUrl, "VW11:2099.1.1");
    h.reply(kNoticeUrl, "");
    FailingShellOpener failing;
    test::FakePlatform& f = h.fake;
    Platform platform{f.store,    f.workingDirectory, f.processes, failing, f.exit,
                      f.beeper,   f.messages,         f.cursor,    f.clock, f.http,
                      f.profiles, f.volumeSerial};
    OnlineServices(platform, h.view, h.login, [] {}).updateCommand();
    EXPECT_EQ(failing.attempts, QStringList{kSetupUrl});
    EXPECT_EQ(f.exit.count, 0);
    EXPECT_FALSE(f.cursor.busy);
    ASSERT_EQ(f.messages.shown.size(), 2);
    EXPECT_TRUE(f.messages.shown[1].contains(kSetupUrl)) << f.messages.shown[1].toStdString();
}

TEST(OnlineServices, IdentityShortcuts)
{
    const QString bbvg =
        "http://svc.example.test:8080/11v/index.ASP?RVG2C=1VWX1=R&YHY=A123&DC2A=2147483648";
    const QString trvzn = "http://svc.example.test:8080/STANDARD/"
                          "TVRVRE_A.ASP?RVG2C=1&VW2A=R&YHY=A123&DC2A=2147483648";
    const struct
    {
        const char* label;
        const char* entry;
        std::function<void(Harness&)> arrange;
        QStringList opened;
        QStringList messages;
        int requests;
        int beeps;
        int basicData;
    } cases[] = {
        // clang-format off
        {"bbvg", "bbvg", [](Harness&) {}, {bbvg}, {}, 2, 0, 0},
        {"trvzn", "trvzn", [](Harness&) {}, {trvzn}, {}, 2, 0, 0},
        {"contact person blank", "bbvg", [](Harness& h) { h.fake.store.set("KELPAN", kHere, "聯絡人", "  "); },
         {}, {"您的基本資料不齊全無法發使用此作業"}, 0, 0, 1},
        {"no network", "bbvg", [](Harness& h) { h.fake.http.replies.clear(); }, {}, {kNoConnection}, 1, 1, 0},
        {"notice times out", "bbvg", [](Harness& h) { h.reply(kNoticeUrl + "A", nullptr); },
         {}, {kNoConnection}, 2, 1, 0},
        {"drive not ready", "bbvg", [](Harness& h) { h.fake.volumeSerial.fail = true; }, {}, {kNoConnection}, 0, 1, 0},
        {"settings unreadable", "bbvg", [](Harness& h) { h.fake.store.failReads = true; },
         {}, {kNoConnection}, 0, 1, 0},
        // clang-format on
    };
    for (const auto& row : cases) {
        Harness h;
        h.reply(kVersionUrl, "VW11:2099.1.1");
        h.reply(kNoticeUrl + "A", "通告:系統維護");
        row.arrange(h);
        h.online.identityShortcut(QString::fromLatin1(row.entry));
        EXPECT_EQ(h.fake.shell.opened, row.opened) << row.label;
        EXPECT_EQ(h.fake.messages.shown, row.messages) << row.label;
        EXPECT_EQ(h.fake.http.requests.size(), row.requests) << row.label;
        EXPECT_EQ(h.fake.beeper.count, row.beeps) << row.label;
        EXPECT_EQ(h.basicDataCalls, row.basicData) << row.label;
        EXPECT_EQ(h.fake.exit.count, 0) << row.label;
    }
}

TEST(OnlineServices, SystemNumberAtStartUpAndLicensingSite)
{
    Harness h;
    h.online.computeSystemNumber();
    h.online.computeSystemNumber();
    // A drive that cannot be read at start-up is silent; the shortcut sends the number of the
    // serial it reads itself, never one left from before.
    h.fake.volumeSerial.fail = true;
    h.online.computeSystemNumber();
    EXPECT_TRUE(h.fake.messages.shown.isEmpty());
    EXPECT_EQ(h.fake.beeper.count, 0);
    h.online.identityShortcut("bbvg");
    EXPECT_EQ(h.fake.messages.shown, QStringList{kNoConnection});
    EXPECT_TRUE(h.fake.shell.opened.isEmpty());
    h.fake.volumeSerial.fail = false;
    h.fake.volumeSerial.serial = 7;
    h.reply(kVersionUrl, "VW11:2099.1.1");
    h.reply(kNoticeUrl + "A", "通告:系統維護");
    h.online.identityShortcut("bbvg");
    ASSERT_EQ(h.fake.shell.opened.size(), 1);
    EXPECT_TRUE(h.fake.shell.opened[0].endsWith("&DC2A=7")) << h.fake.shell.opened[0].toStdString();

    h.fake.shell.opened.clear();
    h.fake.messages.shown.clear();
    h.fake.http.requests.clear();

    h.fake.store.values.clear();
    h.online.licensingSite();
    EXPECT_EQ(h.fake.shell.opened, QStringList{"http://lic.example.test/"});
    EXPECT_TRUE(h.fake.http.requests.isEmpty());
    EXPECT_TRUE(h.fake.messages.shown.isEmpty());
}

} // namespace
} // namespace tevo
