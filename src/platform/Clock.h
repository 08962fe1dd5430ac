#pragma once

#include <QDateTime>

namespace tevo {

// Local date and time, behind an interface so tests can fix "today".
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace tevo
