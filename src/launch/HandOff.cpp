#include "launch/HandOff.h"

namespace tevo {

// Placeholder until the hand-off lands.
HandOff::HandOff(Platform& platform, MainMenuView& view) : m_platform(platform), m_view(view) {}
void HandOff::run(const CommandRow&) {}
void HandOff::sideLaunch(const CommandRow&) {}

} // namespace tevo
