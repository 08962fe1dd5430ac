#pragma once

#include "platform/Clock.h"
#include "platform/HttpFetcher.h"
#include "platform/ProcessStarter.h"
#include "platform/ProfileFiles.h"
#include "platform/SettingsStore.h"
#include "platform/UserInterface.h"
#include "platform/WorkingDirectory.h"

namespace tevo {

// Every facility the menu takes from the operating system, each behind its own interface so
// that tests put recording fakes in their place. The window's main() owns the real ones.
struct Platform
{
    SettingsStore& store;
    WorkingDirectory& workingDirectory;
    ProcessStarter& processes;
    ShellOpener& shell;
    ProgramExit& exit;
    Beeper& beeper;
    MessageBox& messages;
    BusyCursor& cursor;
    Clock& clock;
    HttpFetcher& http;
    ProfileFiles& profiles;
    VolumeSerialSource& volumeSerial;
};

} // namespace tevo
