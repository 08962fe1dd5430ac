#pragma once

#include "platform/ProcessStarter.h"

namespace tevo {

// Opens an address with the desktop's handler: "xdg-open ADDRESS" from PATH, detached, the
// address passed as one argument exactly as given, no shell in between.
class XdgShellOpener : public ShellOpener
{
public:
    Status open(const QString& address) override;
};

} // namespace tevo
