#pragma once

#include "platform/UserInterface.h"

namespace tevo {

// The hourglass as the application-wide wait cursor. Calls are balanced: asking for the state
// the pointer already has changes nothing, so a restore never pops a cursor that this object
// did not set. A busy pointer left at destruction is restored.
class QtBusyCursor : public BusyCursor
{
public:
    QtBusyCursor() = default;
    QtBusyCursor(const QtBusyCursor&) = delete;
    QtBusyCursor& operator=(const QtBusyCursor&) = delete;
    ~QtBusyCursor() override;

    void setBusy(bool busy) override;
    void prepare() override;
    bool isBusy() const { return m_busy; }

private:
    bool m_busy = false;
};

} // namespace tevo
