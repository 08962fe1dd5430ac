#include "online/AdRotation.h"

namespace tevo {

// Placeholder until the advertisement rotation lands.
AdRotation::AdRotation(Platform& platform, MainMenuView& view) : m_platform(platform), m_view(view) {}
void AdRotation::run() {}

} // namespace tevo
