#pragma once

#include "platform/ProcessStarter.h"

namespace tevo {

// Ends the process at once with exit status 0: the C streams are flushed, then _exit() skips
// every destructor, atexit handler and Qt close handling. The settings store commits each write
// before it returns, so nothing written before is lost.
class ImmediateExit : public ProgramExit
{
public:
    [[noreturn]] void endNow() override;
};

} // namespace tevo
