#pragma once

#include "core/Platform.h"

namespace tevo {

class MainMenuView;

// 廣告處理: at start-up shows the next current advertisement in the banner and remembers it.
class AdRotation
{
public:
    AdRotation(Platform& platform, MainMenuView& view);
    void run();

private:
    Platform& m_platform;
    MainMenuView& m_view;
};

} // namespace tevo
