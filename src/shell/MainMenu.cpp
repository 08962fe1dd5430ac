#include "shell/MainMenu.h"

#include "core/MainMenuView.h"
#include "core/MenuTree.h"
#include "launch/CommandCatalogue.h"
#include "launch/HandOff.h"
#include "launch/HostOperations.h"
#include "launch/SideLaunch.h"
#include "online/AdRotation.h"
#include "online/OnlineServices.h"
#include "permissions/PermissionProfile.h"
#include "platform/FileLookup.h"
#include "shell/IdleCountdown.h"
#include "shell/NoticeMarquee.h"

namespace tevo {

namespace {
const QString kEntryProgram = QStringLiteral("GARVO.exe");
}

MainMenu::MainMenu(Platform& platform, MainMenuView& view) : m_platform(platform), m_view(view)
{
    m_handOff = std::make_unique<HandOff>(platform, view);
    m_sideLaunch = std::make_unique<SideLaunch>(platform, view);
    m_hostOperations =
        std::make_unique<HostOperations>(platform, *m_handOff, *m_sideLaunch, m_login);
    m_online = std::make_unique<OnlineServices>(platform, view, m_login,
                                                [this] { m_sideLaunch->enterCompanyData(); });
    m_adRotation = std::make_unique<AdRotation>(platform, view);
    m_countdown = std::make_unique<IdleCountdown>(
        view, platform.beeper, [this] { return welcomeLine(m_login.displayName); },
        [this] {
            m_platform.cursor.setBusy(false);
            leaveMenu(false);
        });
    m_marquee = std::make_unique<NoticeMarquee>(platform, view);
}

MainMenu::~MainMenu() = default;

QString MainMenu::workingDirectory() const
{
    return m_platform.workingDirectory.current();
}

Status MainMenu::load()
{
    const Result<QString> section = m_platform.workingDirectory.readable();
    if (!section)
        return section.status();
    Result<LoginContext> login = LoginContext::read(m_platform.store, section.value());
    if (!login)
        return login.status();
    m_login = std::move(login.value());
    picq2();
    m_online->computeSystemNumber();
    m_adRotation->run();
    m_online->upgradeCheck();
    m_view.setCountdownValue(100);
    m_platform.beeper.beep();
    return Status::ok();
}

void MainMenu::activate()
{
    // The window becomes active once in its life; later activations (after a message box or
    // another program's window) leave the status line and the greying as they are.
    if (m_activated)
        return;
    m_activated = true;
    m_view.setStatusText(welcomeLine(m_login.displayName));
    if (m_login.userLevel > 1)
        applyPermissions(m_platform.profiles, m_login, m_view, [this](const QString& path) {
            return m_platform.workingDirectory.localPath(path);
        });
}

void MainMenu::picq2()
{
    // A missing or damaged picture leaves the built-in one; no message.
    m_view.loadBackgroundPicture(
        lookUpFile(m_platform.workingDirectory.nativePath(), QStringLiteral("gjvw.JPG")));
}

bool MainMenu::isReachable(const QString& controlName) const
{
    if (!m_view.isControlEnabled(controlName))
        return false;
    // A greyed submenu header makes its entries unreachable, also by their shortcut keys.
    for (const MenuItem* item = findMenuItem(controlName); item && item->parent;
         item = findMenuItem(QString::fromLatin1(item->parent))) {
        if (!m_view.isControlEnabled(QString::fromLatin1(item->parent)))
            return false;
    }
    return true;
}

void MainMenu::trigger(const QString& controlName)
{
    if (!isReachable(controlName))
        return;
    runCommand(controlName);
}

void MainMenu::runCommand(const QString& controlName)
{
    const CommandRow* row = findCommand(controlName);
    if (!row)
        return;
    switch (row->kind) {
    case CommandKind::Forward:
        // Pressing a button from code runs exactly what a click runs; a greyed button is not
        // pressed.
        trigger(QString::fromLatin1(row->pressedButton));
        return;
    case CommandKind::HandOff:
        m_handOff->run(*row);
        return;
    case CommandKind::SideLaunch:
        m_sideLaunch->run(*row);
        return;
    case CommandKind::Leave:
        leaveMenu(false);
        return;
    case CommandKind::Update:
        m_online->updateCommand();
        return;
    case CommandKind::IdentityShortcut:
        m_online->identityShortcut(controlName);
        return;
    case CommandKind::LicensingSite:
        m_online->licensingSite();
        return;
    case CommandKind::PermissionSetting:
        m_hostOperations->permissionSetting();
        return;
    case CommandKind::DataBackup:
        m_hostOperations->dataBackup();
        return;
    case CommandKind::CompanyData:
        m_sideLaunch->enterCompanyData();
        return;
    }
}

void MainMenu::headerOpened(const QString&)
{
    m_platform.beeper.beep();
}

void MainMenu::idleTick()
{
    m_countdown->tick();
}

void MainMenu::activityReset()
{
    m_countdown->reset();
}

void MainMenu::settled()
{
    m_platform.cursor.prepare();
    accessibility();
}

const AccessibilityOptions& MainMenu::accessibility()
{
    if (!m_accessibility)
        m_accessibility =
            AccessibilityOptions::load(m_platform.profiles, m_platform.workingDirectory);
    return *m_accessibility;
}

void MainMenu::keyPressed()
{
    if (accessibility().keyboardResetsCountdown)
        m_countdown->reset();
}

void MainMenu::closeRequested()
{
    leaveMenu(true);
}

void MainMenu::resized()
{
    m_marquee->resized();
}

void MainMenu::noticeTick()
{
    m_marquee->tick();
}

void MainMenu::leaveMenu(bool withBeep)
{
    m_view.setIdleTimerEnabled(false);
    if (withBeep)
        m_platform.beeper.beep();
    const Status started = m_platform.processes.startBeforeEnding(kEntryProgram);
    if (!started) {
        // The menu must not stay open on an unattended workstation: say what failed, then end
        // all the same.
        m_platform.messages.show(QStringLiteral("無法啟動登入程式 %1，請通知系統管理人員。\n%2")
                                     .arg(kEntryProgram, started.message()),
                                 started.details());
    }
    m_platform.exit.endNow();
}

} // namespace tevo
