#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

// Plays a sound of the desktop's sound theme by its event name ("bell", "dialog-warning", as
// the freedesktop sound themes name them). Returns once the sound has started,
// not when it ends; an error says why nothing could be played.
class EventSoundPlayer
{
public:
    virtual ~EventSoundPlayer() = default;
    virtual Status play(const QString& eventId) = 0;
};

} // namespace tevo
