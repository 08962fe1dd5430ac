#include "shell/IdleCountdown.h"

#include "resources/StringTable.h"
#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <map>

namespace tevo {
namespace {

using test::CountingBeeper;
using test::FakeView;

const QString kWelcome = QStringLiteral("歡迎 王小明 進入本系統");
const QString kUntouched = QStringLiteral("(untouched)");

// The view, recording every switch of Timer2.
class TimerRecordingView : public FakeView
{
public:
    void setIdleTimerEnabled(bool enabled) override
    {
        timerSwitches.append(enabled);
        FakeView::setIdleTimerEnabled(enabled);
    }
    QList<bool> timerSwitches;
};

struct Countdown
{
    TimerRecordingView view;
    CountingBeeper beeper;
    int leaves = 0;
    IdleCountdown countdown{view, beeper, [] { return kWelcome; }, [this] { ++leaves; }};
};

TEST(IdleCountdown, CountsDownFromAResetToTheWayOut)
{
    Countdown c;
    c.countdown.reset();

    struct Seen
    {
        double value;
        QString status;
        int beeps;
        int leaves;
    };
    std::map<int, Seen> seen;
    for (int tick = 1; tick <= 100; ++tick) {
        c.view.status = kUntouched;
        c.countdown.tick();
        seen[tick] = {c.view.countdown, c.view.status, c.beeper.count, c.leaves};
    }

    const struct
    {
        int tick;
        double value;
        QString status;
        int beeps;
        int leaves;
    } rows[] = {
        {1, 99, kUntouched, 0, 0},  {3, 97, kUntouched, 0, 0},       {4, 96, kWelcome, 0, 0},
        {5, 95, kWelcome, 0, 0},    {6, 94, kWelcome, 0, 0},         {7, 93, kUntouched, 0, 0},
        {9, 91, kUntouched, 0, 0},  {10, 90, loadString(308), 0, 0}, {11, 89, kUntouched, 0, 0},
        {74, 26, kUntouched, 0, 0}, {75, 25, loadString(307), 1, 0}, {76, 24, kUntouched, 1, 0},
        {99, 1, kUntouched, 1, 0},  {100, 0, kUntouched, 1, 1},
    };
    for (const auto& row : rows) {
        const Seen& s = seen[row.tick];
        EXPECT_EQ(s.value, row.value) << "tick " << row.tick;
        EXPECT_EQ(s.status, row.status) << "tick " << row.tick;
        EXPECT_EQ(s.beeps, row.beeps) << "tick " << row.tick;
        EXPECT_EQ(s.leaves, row.leaves) << "tick " << row.tick;
    }

    QList<int> writingTicks;
    for (const auto& [tick, s] : seen) {
        if (s.status != kUntouched)
            writingTicks.append(tick);
    }
    EXPECT_EQ(writingTicks, QList<int>({4, 5, 6, 10, 75}));
    EXPECT_FALSE(loadString(307).isEmpty());
    EXPECT_FALSE(loadString(308).isEmpty());
}

TEST(IdleCountdown, BarNeverGoesBelowZero)
{
    Countdown c;
    c.view.countdown = 0;
    c.countdown.tick();
    EXPECT_EQ(c.view.countdown, 0);
    EXPECT_EQ(c.leaves, 1);

    c.view.countdown = 0.5;
    c.countdown.tick();
    EXPECT_EQ(c.view.countdown, 0);
    EXPECT_EQ(c.leaves, 2);
}

// Mouse movement handled while a tick lets pending events run: the rest of that tick sees a
// full bar and does nothing.
TEST(IdleCountdown, ResetInsideATickCancelsItsSteps)
{
    const struct
    {
        double before;
        const char* step;
    } rows[] = {{97, "welcome line"}, {91, "string 308"}, {26, "beep and 307"}, {1, "leaving"}};
    for (const auto& row : rows) {
        Countdown c;
        c.view.countdown = row.before;
        c.view.status = kUntouched;
        c.view.onProcessEvents = [&c] { c.countdown.reset(); };

        c.countdown.tick();

        EXPECT_EQ(c.view.countdown, 100) << row.step;
        EXPECT_EQ(c.view.status, kUntouched) << row.step;
        EXPECT_EQ(c.beeper.count, 0) << row.step;
        EXPECT_EQ(c.leaves, 0) << row.step;
        EXPECT_TRUE(c.view.idleTimer) << row.step;

        c.view.onProcessEvents = nullptr;
        c.countdown.tick();
        EXPECT_EQ(c.view.countdown, 99) << row.step;
    }
}

TEST(IdleCountdown, ResetRestartsTheTimer)
{
    const struct
    {
        const char* state;
        double value;
        bool timerOn;
    } rows[] = {{"counting", 40, true}, {"stopped by a command", 63, false}, {"full", 100, true}};
    for (const auto& row : rows) {
        Countdown c;
        c.view.countdown = row.value;
        c.view.idleTimer = row.timerOn;
        c.countdown.reset();
        EXPECT_EQ(c.view.countdown, 100) << row.state;
        EXPECT_EQ(c.view.timerSwitches, QList<bool>({false, true})) << row.state;
        EXPECT_TRUE(c.view.idleTimer) << row.state;
        EXPECT_EQ(c.beeper.count, 0) << row.state;
    }
}

} // namespace
} // namespace tevo
