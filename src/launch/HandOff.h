#pragma once

#include "core/Platform.h"
#include "launch/CommandCatalogue.h"

namespace tevo {

class MainMenuView;

// The module hand-off: the keys that tell a module what to open, then the start of the module
// in place of the menu. Starts that leave the menu open are SideLaunch's.
class HandOff
{
public:
    HandOff(Platform& platform, MainMenuView& view);

    // Stops Timer2 (unless the row says not), beeps, writes "ATU", "AT" and "YXQ" as one
    // transaction (all of them or none, committed before the start), sets the hourglass, starts
    // the program and ends the program at once. Returns only when the program could not be
    // started: the keys stay written, the user hears a beep and reads a message (text 61 for the
    // guarded row, else one that names the program, with the folders searched as its details),
    // and the menu stays usable. When the keys cannot be written, or the working directory
    // cannot be read, nothing is started: a beep and a message that names the problem.
    void run(const CommandRow& row);

private:
    Platform& m_platform;
    MainMenuView& m_view;
};

} // namespace tevo
