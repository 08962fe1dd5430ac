// tevo-menu: the main menu of the workshop suite. It has no command line and no options of its
// own: everything it needs comes from the settings store, the permission profile and the suite
// INI file.

#include "core/Platform.h"
#include "core/ProgramTitle.h"
#include "online/CurlHttpFetcher.h"
#include "platform/Clock.h"
#include "platform/ImmediateExit.h"
#include "platform/IniProfileFiles.h"
#include "platform/PosixProcessStarter.h"
#include "platform/SqliteSettingsStore.h"
#include "platform/SystemVolumeSerial.h"
#include "platform/SystemWorkingDirectory.h"
#include "platform/XdgShellOpener.h"
#include "platform/qt/QtBeeper.h"
#include "platform/qt/QtBusyCursor.h"
#include "platform/qt/QtMessageBox.h"
#include "shell/window/FirstFrameReport.h"
#include "shell/window/MainWindow.h"
#include "shell/window/UiFonts.h"

#include <QApplication>

#include <memory>

namespace {

// The operating system's side of every platform interface, alive for the whole run.
struct SystemPlatform
{
    std::unique_ptr<tevo::SqliteSettingsStore> store;
    tevo::SystemWorkingDirectory workingDirectory;
    tevo::PosixProcessStarter processes;
    tevo::XdgShellOpener shell;
    tevo::ImmediateExit exit;
    tevo::QtBeeper beeper;
    tevo::QtMessageBox messages{tevo::programTitle()};
    tevo::QtBusyCursor cursor;
    tevo::SystemClock clock;
    tevo::CurlHttpFetcher http;
    tevo::IniProfileFiles profiles;
    tevo::SystemVolumeSerial volumeSerial;

    // Opens the settings store; on failure the message names the file and what to do.
    tevo::Status open()
    {
        auto opened = tevo::SqliteSettingsStore::open(tevo::SqliteSettingsStore::defaultPath());
        if (!opened)
            return opened.status();
        store = std::move(opened.value());
        return tevo::Status::ok();
    }

    tevo::Platform platform()
    {
        return tevo::Platform{*store,   workingDirectory, processes, shell, exit,     beeper,
                              messages, cursor,           clock,     http,  profiles, volumeSerial};
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tevo::UiFonts::applyToApplication();

    SystemPlatform system;
    // Without the store there is no login context and no hand-off: say why and stop.
    if (const tevo::Status opened = system.open(); !opened) {
        system.messages.show(opened.message());
        return 1;
    }
    tevo::Platform platform = system.platform();

    tevo::MainWindow window(platform);
    system.messages.setParentWindow(&window);
    window.load();
    tevo::FirstFrameReport::installFromEnvironment(&window);
    window.show();
    return app.exec();
}
