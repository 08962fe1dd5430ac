#pragma once

#include "platform/UserInterface.h"

namespace tevo {

// The system beep through the window toolkit.
class QtBeeper : public Beeper
{
public:
    void beep() override;
};

} // namespace tevo
