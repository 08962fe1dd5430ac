#pragma once

// tevo-settings --wine: get, set, list and export on the settings of the suite's Windows programs,
// which live in the Wine registry (HKEY_CURRENT_USER\Software\VB and VBA Program Settings) of
// the prefix the suite's Windows programs use: $WINEPREFIX, else ~/.wine.
//
// Each verb (runWineGet, runWineSet, runWineList, runWineExport in SettingsToolVerbs.h, its
// operands and options checked by the caller) runs on the Wine registry through the Wine bridge,
// started in the working folder. The section of get and set is a Windows path; when it is not
// given, the working folder in the Windows form Wine gives it ("D:\GARVO"). list and export
// without an application cover the applications the suite shares, "kelpan" and "EEYX"; their
// lines are those of the user's own store.
//
// Nothing is created: a prefix that does not exist, a missing Wine or zh_TW.UTF-8 is a message
// that names the remedy. Each returns the exit status of tevo-settings: 0 done, 1 value missing
// (get), 2 error, with the message on standard error.

#include "tools/SettingsToolVerbs.h"
