#pragma once

#include "core/Platform.h"

namespace tevo {

// The line shown while no system notice is stored.
inline const QString kThankYouLine = QStringLiteral("Korvel科技股份有限公司感謝您使用本系統");

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
