#pragma once

#include "platform/EventSoundPlayer.h"

#include <canberra.h>

#include <optional>

namespace tevo {

// The desktop's event sounds through libcanberra, which finds the sound in the sound theme
// and plays it through the desktop's sound server or ALSA. The library is loaded by the first
// sound rather than linked: most sessions never need it (on X11 the beep is the X bell), and
// start-up would pay for loading it and its sound libraries every time.
//
// Only for the window's thread. A loaded library stays loaded for the life of the process; a
// library that cannot be loaded is not tried again, and every play() reports why.
class CanberraSoundPlayer : public EventSoundPlayer
{
public:
    // The versioned name of Debian's libcanberra0, which the dynamic linker finds.
    static constexpr const char* kFileName = "libcanberra.so.0";

    explicit CanberraSoundPlayer(const char* file = kFileName) : m_file(file) {}
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    Status play(const QString& eventId) override;

private:
    // Loads the library and makes the context, once; later calls return the first outcome.
    Status load();
    Status tryLoad();

    const char* m_file;
    std::optional<Status> m_loaded; // unset until the first load()
    ca_context* m_context = nullptr;
    decltype(&ca_context_destroy) m_destroy = nullptr;
    decltype(&ca_context_play) m_play = nullptr;
    decltype(&ca_strerror) m_strerror = nullptr;
};

} // namespace tevo
