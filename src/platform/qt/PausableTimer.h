#pragma once

#include <QTimer>

#include <optional>

namespace tevo {

// A repeating timer with a fixed interval that is switched on and off and, independently of
// that, paused. On and not paused, it ticks every interval; paused, it never ticks. When the
// last pause ends, a timer that was running when the pause began ticks first after the time it
// had left then, once, and every interval after that; one switched on during the pause (after
// being off) ticks a full interval after the pause; one switched off during the pause stays off.
// Switching a timer on while a pause holds it never starts it. Pauses nest.
//
// The interval given at construction is the only one the timer ever returns to, however many
// pauses it goes through. Switch it with setEnabled() only: QTimer's start() and stop() know
// nothing of pauses.
class PausableTimer : public QTimer
{
    Q_OBJECT
public:
    PausableTimer(const QString& name, int intervalMs, QObject* parent);

    // On: a timer that is not ticking yet (and not paused) ticks a full interval from now, a
    // ticking one keeps its rhythm. Off: no further tick, and nothing left over from a pause.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    void pause();
    void resume(); // ends one pause; without a pause, nothing
    bool isPaused() const { return m_pauses > 0; }

private:
    void ticked();

    const int m_intervalMs;
    bool m_enabled = false;
    int m_pauses = 0;
    // While paused: the time the timer had left when the first pause began, if it was running.
    std::optional<int> m_leftMs;
    // Resumed with the time that was left: the next tick puts the interval back.
    bool m_resumedEarly = false;
};

} // namespace tevo
