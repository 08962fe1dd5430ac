#pragma once

namespace tevo {

class ProfileFiles;
class WorkingDirectory;

// Options for users who work by keyboard or with a screen reader, from section "Accessibility"
// of the suite INI file. A missing file, section or key leaves an option off, and the menu
// behaves as designed.
struct AccessibilityOptions
{
    // KeyboardResetsCountdown=1: a key pressed in the window restarts the idle countdown, as
    // pointer movement over the pictures does. Any other value leaves it off.
    bool keyboardResetsCountdown = false;

    static AccessibilityOptions load(ProfileFiles& profiles,
                                     const WorkingDirectory& workingDirectory);
};

} // namespace tevo
