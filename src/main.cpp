// tevo-menu: the main menu of the workshop suite. It has no command line and no options of its
// own: everything it needs comes from the settings store, the permission profile and the suite
// INI file.

#include "core/Platform.h"
#include "core/ProgramTitle.h"
#include "core/SettingsApplications.h"
#include "online/CurlHttpFetcher.h"
#include "online/WaitingHttpFetcher.h"
#include "platform/CanberraSoundPlayer.h"
#include "platform/Clock.h"
#include "platform/ImmediateExit.h"
#include "platform/IniProfileFiles.h"
#include "platform/PosixProcessStarter.h"
#include "platform/SqliteSettingsStore.h"
#include "platform/SystemVolumeSerial.h"
#include "platform/SystemWorkingDirectory.h"
#include "platform/WineInstallation.h"
#include "platform/XdgShellOpener.h"
#include "platform/qt/PausableTimer.h"
#include "platform/qt/QtBeeper.h"
#include "platform/qt/QtBusyCursor.h"
#include "platform/qt/QtForegroundWait.h"
#include "platform/qt/QtMessageBox.h"
#include "shell/window/FirstFrameReport.h"
#include "shell/window/MainWindow.h"
#include "shell/window/UiFonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

// Test hook, not a setting: TEVO_TEST_REQUEST_TIMEOUT_MS shortens the 60-second time-out of the
// vendor's server for the end-to-end tests. A value that is not a number from 1 to 60000 is
// ignored; nothing can make the time-out longer.
std::chrono::milliseconds requestTimeout()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("TEVO_TEST_REQUEST_TIMEOUT_MS", &ok);
    if (ok && ms > 0 && ms < tevo::CurlHttpFetcher::kDefaultTimeout.count())
        return std::chrono::milliseconds(ms);
    return tevo::CurlHttpFetcher::kDefaultTimeout;
}

// The operating system's side of every platform interface, alive for the whole run.
struct SystemPlatform
{
    std::unique_ptr<tevo::SqliteSettingsStore> store;
    tevo::SystemWorkingDirectory workingDirectory;
    tevo::PosixProcessStarter processes;
    tevo::XdgShellOpener shell;
    tevo::ImmediateExit exit;
    tevo::CanberraSoundPlayer sounds;
    tevo::QtBeeper beeper{sounds, QGuiApplication::platformName()};
    tevo::QtMessageBox messages{tevo::programTitle()};
    tevo::QtBusyCursor cursor;
    tevo::SystemClock clock;
    // Requests run on a worker thread while the window waits for them.
    tevo::CurlHttpFetcher transfer{requestTimeout()};
    tevo::QtForegroundWait wait;
    tevo::WaitingHttpFetcher http{transfer, wait};
    tevo::IniProfileFiles profiles;
    tevo::SystemVolumeSerial volumeSerial;
    // Set in an installation whose entry program runs under Wine: the store of record, the
    // working folder's drive and the volume serial are then those the Windows programs see.
    std::unique_ptr<tevo::WineInstallation> wine;

    // Opens the settings store; on failure the message names the file and what to do.
    tevo::Status open()
    {
        auto opened = tevo::SqliteSettingsStore::open(tevo::SqliteSettingsStore::defaultPath());
        if (!opened)
            return opened.status();
        store = std::move(opened.value());
        return tevo::Status::ok();
    }

    // In a Wine installation: the store of record, drive and serial the Windows programs see,
    // over the bridge started before Qt.
    void useWine(std::unique_ptr<tevo::WineBridge> bridge, const QString& folder)
    {
        wine = std::make_unique<tevo::WineInstallation>(
            std::move(bridge), folder, workingDirectory, *store,
            QStringList{tevo::kSuiteApplication, tevo::kOnlineApplication});
    }

    tevo::Platform platform()
    {
        tevo::SettingsStore& settings = wine ? wine->store() : *store;
        tevo::WorkingDirectory& folder = wine ? wine->workingDirectory() : workingDirectory;
        tevo::VolumeSerialSource& serial = wine ? wine->volumeSerial() : volumeSerial;
        return tevo::Platform{settings, folder, processes, shell, exit,     beeper,
                              messages, cursor, clock,     http,  profiles, serial};
    }
};

// Recognises a Wine installation by its entry program and, in one, starts the bridge to Wine
// without waiting for it, so that Wine comes up while Qt starts and the window is built. The
// error (Wine, its prefix or its locale missing, the bridge missing) says what to do; nothing
// is started then.
tevo::Status startWineIfInstalled(const QString& folder, std::unique_ptr<tevo::WineBridge>& bridge)
{
    const tevo::WineEnvironment environment;
    const tevo::Result<bool> isWine = tevo::recogniseWineInstallation(
        tevo::PosixProcessStarter::find(QStringLiteral("GARVO.exe")), environment);
    if (!isWine || !isWine.value())
        return isWine.status();
    bridge = std::make_unique<tevo::WineBridge>(environment, folder);
    return bridge->start();
}

// Qt's own texts (standard buttons, the context menu of text fields) in Traditional Chinese like
// the program's own, whatever the session's language. `texts` must outlive the application's use.
void installQtTexts(QApplication& app, QTranslator& texts)
{
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (texts.load(QStringLiteral("qtbase_zh_TW"), translations))
        app.installTranslator(&texts);
    else
        std::fprintf(stderr,
                     "tevo-menu: qtbase_zh_TW.qm is missing in %s (package "
                     "qt6-translations-l10n): Qt's buttons read English\n",
                     qPrintable(translations));
}

} // namespace

int main(int argc, char** argv)
{
    // The working folder and, in a Wine installation, Wine first: Wine's start is the longest
    // part of the menu's, and runs meanwhile. Failures are shown once a window can show them.
    const tevo::Result<QString> folder = tevo::SystemWorkingDirectory().readable();
    std::unique_ptr<tevo::WineBridge> bridge;
    const tevo::Status recognised =
        folder ? startWineIfInstalled(folder.value(), bridge) : tevo::Status::ok();

    // On X11 Qt hands every repaint to the display through a shared memory image, which costs a
    // completion event from the display and two thread wake-ups each time. The menu's repaints
    // are strips of the notice line ten times a second, for which the socket is cheaper: a
    // quarter less processor time for the menu and for the display while it stands open, and no
    // slower a start. Qt reads the setting when it connects to the display; the modules the menu
    // starts do not inherit it. One that is set already is left as it is.
    const bool sharedMemoryChosen = qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (!sharedMemoryChosen)
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    if (!sharedMemoryChosen)
        qunsetenv("QT_XCB_NO_MITSHM");
    tevo::UiFonts::applyToApplication();
    QTranslator qtTexts;
    installQtTexts(app, qtTexts);

    SystemPlatform system;
    // A working folder that has no section (removed, or a name that reads as no text) gets no
    // store, no window and no started program: say why and stop.
    if (!folder) {
        system.messages.show(folder.error());
        return 1;
    }
    // Without the store there is no login context and no hand-off: say why and stop.
    if (const tevo::Status opened = system.open(); !opened) {
        system.messages.show(opened.message());
        return 1;
    }
    // A Wine installation whose Wine cannot run here is as unusable as an unreadable login
    // context: say why and stop before anything is written or started.
    if (!recognised) {
        system.messages.show(recognised.message(), recognised.details());
        return 1;
    }
    if (bridge)
        system.useWine(std::move(bridge), folder.value());
    tevo::Platform platform = system.platform();

    tevo::MainWindow window(platform);
    // A login context that cannot be read must not open an unrestricted menu: say why and stop
    // before anything is written or started.
    if (const tevo::Status loaded = window.load(); !loaded) {
        system.messages.show(loaded.message());
        return 1;
    }
    system.messages.setParentWindow(&window);
    // Timer1 and Timer2 stand still while a request waits, as they would on a blocked thread.
    system.wait.holdDuringWaits({window.findChild<tevo::PausableTimer*>(QStringLiteral("Timer1")),
                                 window.findChild<tevo::PausableTimer*>(QStringLiteral("Timer2"))});
    tevo::FirstFrameReport::installFromEnvironment(&window);
    window.show();
    return app.exec();
}
