#include "online/OnlineServices.h"

#include "core/HostCheck.h"
#include "core/MainMenuView.h"
#include "core/NumericText.h"
#include "core/SettingsApplications.h"
#include "online/HostConfig.h"
#include "online/OnlineRefresh.h"
#include "online/RunningVersion.h"
#include "online/SystemNumber.h"
#include "online/WebAddresses.h"
#include "online/WorkshopIdentity.h"

#include <QtGlobal>

namespace tevo {

namespace {
const QString kAlreadyCurrent = QStringLiteral("目前已是最新版本無需更新");
const QString kRestartAfterInstall = QStringLiteral("下載安裝完成後請重新啟動本系統");
const QString kIncompleteData = QStringLiteral("您的基本資料不齊全無法發使用此作業");
const QString kNoConnection = QStringLiteral("網路無法連線");
} // namespace

struct OnlineServices::State
{
    State(Platform& platform, MainMenuView& view, const LoginContext& login,
          std::function<void()> enterBasicData)
        : platform(platform), view(view), login(login), enterBasicData(std::move(enterBasicData)),
          refresh(platform.http, platform.store)
    {
    }

    QString workingDirectory() const { return platform.workingDirectory.current(); }
    HostConfig hosts() const
    {
        return HostConfig::load(platform.profiles, platform.workingDirectory);
    }
    Status recomputeSystemNumber();
    Status runRefresh();
    bool latestVersionDiffers() const;
    void reportNoConnection(const Status& cause);

    Platform& platform;
    MainMenuView& view;
    const LoginContext& login;
    std::function<void()> enterBasicData;
    OnlineRefresh refresh;
    // Empty until the first identity-bearing shortcut loads it; the notice fetch of the update
    // command uses whatever is held here.
    WorkshopIdentity identity;
    QString systemNumber;
};

Status OnlineServices::State::recomputeSystemNumber()
{
    systemNumber.clear();
    const Result<qint32> serial = platform.volumeSerial.serialOfCurrentDrive();
    if (!serial)
        return serial.status();
    systemNumber = systemNumberFromSerial(serial.value());
    return Status::ok();
}

Status OnlineServices::State::runRefresh()
{
    return refresh.run(hosts().serviceHost, workingDirectory(), identity.customerCode);
}

bool OnlineServices::State::latestVersionDiffers() const
{
    // Any difference counts, an older or missing announced version too.
    const QString latest =
        trimSpaces(platform.store.text(kOnlineApplication, workingDirectory(), kLatestVersionKey));
    return latest != runningVersionString();
}

// A web shortcut shows the one message the design gives for any failed step before the
// browser opens (the company data, the drive's serial, the store or the refresh): the user can
// do nothing different for each, and the shortcut is simply tried again later. The cause goes to
// the session's log for support staff.
void OnlineServices::State::reportNoConnection(const Status& cause)
{
    qWarning("%s",
             qUtf8Printable(cause.details().isEmpty() ? cause.message()
                                                      : cause.message() + u'\n' + cause.details()));
    platform.beeper.beep();
    platform.messages.show(kNoConnection);
}

OnlineServices::OnlineServices(Platform& platform, MainMenuView& view, const LoginContext& login,
                               std::function<void()> enterBasicData)
    : m_state(std::make_unique<State>(platform, view, login, std::move(enterBasicData)))
{
}

OnlineServices::~OnlineServices() = default;

void OnlineServices::computeSystemNumber()
{
    // At start-up a drive whose serial cannot be read leaves the system number empty and the
    // menu starts all the same; the web shortcuts compute it again and report their own failure.
    static_cast<void>(m_state->recomputeSystemNumber());
}

void OnlineServices::upgradeCheck()
{
    if (m_state->latestVersionDiffers())
        m_state->view.setUpdateButtonVisible(true);
}

void OnlineServices::updateCommand()
{
    State& s = *m_state;
    if (!isHostWorkstation(s.login.hostDirectory, s.platform.workingDirectory.suiteForm())) {
        s.platform.beeper.beep();
        s.platform.messages.show(kHostOnlyRefusal);
        return;
    }

    s.platform.cursor.setBusy(true);
    if (const Status refreshed = s.runRefresh(); !refreshed) {
        s.platform.messages.show(refreshed.message());
        s.platform.cursor.setBusy(false);
        return;
    }

    if (!s.latestVersionDiffers()) {
        s.platform.cursor.setBusy(false);
        s.platform.messages.show(kAlreadyCurrent);
        return;
    }

    s.platform.messages.show(kRestartAfterInstall);
    const QString address = setupProgramAddress(s.hosts().downloadHost);
    if (const Status opened = s.platform.shell.open(address); !opened) {
        // Without a browser the user would be told to install and then lose the menu with
        // nothing downloading: keep the menu open and say what to fetch by hand.
        s.platform.cursor.setBusy(false);
        s.platform.messages.show(QStringLiteral("無法開啟瀏覽器下載新版本，請自行下載：\n%1\n%2")
                                     .arg(address, opened.message()));
        return;
    }
    s.platform.cursor.setBusy(false);
    s.platform.exit.endNow();
}

void OnlineServices::identityShortcut(const QString& entryName)
{
    State& s = *m_state;
    const char* path = identityShortcutPath(entryName);
    if (!path)
        return;

    Result<WorkshopIdentity> identity =
        LoadWorkshopIdentity(s.platform.store, s.platform.workingDirectory);
    if (!identity) {
        s.reportNoConnection(identity.status());
        return;
    }
    s.identity = identity.value();
    if (const Status computed = s.recomputeSystemNumber(); !computed) {
        s.reportNoConnection(computed);
        return;
    }

    if (!s.identity.isComplete()) {
        s.platform.messages.show(kIncompleteData);
        s.enterBasicData();
        return;
    }

    if (const Status refreshed = s.runRefresh(); !refreshed) {
        s.reportNoConnection(refreshed);
        return;
    }
    // The browser's own outcome is not seen; the menu stays as it is either way.
    static_cast<void>(s.platform.shell.open(identityShortcutAddress(
        s.hosts().serviceHost, path, s.identity.customerCode, s.systemNumber)));
}

void OnlineServices::licensingSite()
{
    State& s = *m_state;
    // No identity, no check, no refresh; nothing to report, not even a browser that failed to
    // open (the design shows nothing for this shortcut).
    static_cast<void>(s.platform.shell.open(licensingSiteAddress(s.hosts().licensingHost)));
}

} // namespace tevo
