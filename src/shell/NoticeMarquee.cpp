#include "shell/NoticeMarquee.h"

namespace tevo {

// Placeholder until the notice marquee lands.
NoticeMarquee::NoticeMarquee(Platform& platform, MainMenuView& view) : m_platform(platform), m_view(view) {}
void NoticeMarquee::refresh() {}
void NoticeMarquee::resized() {}
void NoticeMarquee::tick() {}

} // namespace tevo
