#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

// Starts a program of the suite by its bare file name ("E2.exe"): searched in the folder of the
// running main menu, then the working directory, then PATH (each by exact name first, then
// case-insensitively). Started with no arguments, in the working directory, detached (its own
// session, outliving the menu, never a zombie). The process id is not kept.
class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;
    // Error when the program is missing or cannot be executed; the message names it.
    virtual Status start(const QString& program) = 0;
    // The same for a caller that ends at once after a successful start (a hand-off, leaving for
    // the entry program): the program may then be started as the caller's own child, which the
    // caller's end hands over to the system, and without the intermediate process that keeps a
    // program of a caller that stays open from becoming a zombie.
    virtual Status startBeforeEnding(const QString& program) { return start(program); }
};

// Opens an address with the desktop's handler ("xdg-open ADDRESS", detached, no shell in
// between, the address as one argument). The outcome of the browser is not examined; an error
// is returned only when the opener itself could not be started.
class ShellOpener
{
public:
    virtual ~ShellOpener() = default;
    virtual Status open(const QString& address) = 0;
};

// Ends the program at once: no further event handler, close handler or destructor of the window
// runs. Every settings write made before is already committed. The fake in tests records the
// call and returns, so callers must return right after calling endNow().
class ProgramExit
{
public:
    virtual ~ProgramExit() = default;
    virtual void endNow() = 0;
};

} // namespace tevo
