#pragma once

#include "core/Platform.h"

namespace tevo {

class MainMenuView;

// The notice line Label2: refilled from the stored notice at every resize, padded with blanks
// to the window's width, scrolled one character per Timer1 tick.
class NoticeMarquee
{
public:
    NoticeMarquee(Platform& platform, MainMenuView& view);

    void refresh(); // 通告處理
    void resized();
    void tick();

private:
    Platform& m_platform;
    MainMenuView& m_view;
};

} // namespace tevo
