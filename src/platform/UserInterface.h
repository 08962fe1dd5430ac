#pragma once

#include <QString>

namespace tevo {

// The system beep.
class Beeper
{
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

// A modal message box with the program's own title, an OK button only and no icon. Returns
// when the user has closed it. Text is always shown as plain text. `details`, when not empty,
// is shown only on request (a details button beside OK), for support staff.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void show(const QString& text, const QString& details = QString()) = 0;
};

// The screen-wide mouse pointer: the hourglass while busy, the default otherwise.
class BusyCursor
{
public:
    virtual ~BusyCursor() = default;
    virtual void setBusy(bool busy) = 0;
    // Gets the busy pointer ready while nothing waits for it, so that showing it later costs
    // no more than a request to the display. Changes nothing that can be seen.
    virtual void prepare() {}
};

} // namespace tevo
