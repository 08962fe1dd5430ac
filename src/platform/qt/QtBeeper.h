#pragma once

#include "platform/UserInterface.h"

#include <QString>

namespace tevo {

class EventSoundPlayer;

// The system beep. Where the window system rings a bell (X11, Qt's "xcb" platform) it is that
// bell. Qt's Wayland platform has none, so there the beep is the "bell" sound of the desktop's
// sound theme, played by `sounds`; when that cannot be played, the first failure is written to
// standard error and the beep is the toolkit's, silent there.
class QtBeeper : public Beeper
{
public:
    // `platformName` is the window toolkit's platform (QGuiApplication::platformName()).
    QtBeeper(EventSoundPlayer& sounds, const QString& platformName);

    void beep() override;

private:
    EventSoundPlayer& m_sounds;
    bool m_usesSoundTheme;
    bool m_failureReported = false;
};

} // namespace tevo
