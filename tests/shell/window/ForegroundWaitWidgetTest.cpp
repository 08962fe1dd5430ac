// The window's wait for a request: events go on, the held timers stand still and then go on
// with the time they had left.

#include "platform/qt/QtForegroundWait.h"

#include <QTest>
#include <QTimer>

#include <chrono>
#include <thread>

using namespace tevo;

class ForegroundWaitWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void heldTimersStandStillWhileOtherEventsRun()
    {
        QTimer held;
        held.setInterval(300);
        int heldTicks = 0;
        connect(&held, &QTimer::timeout, [&] { ++heldTicks; });
        QTimer other;
        other.setInterval(20);
        int otherTicks = 0;
        connect(&other, &QTimer::timeout, [&] { ++otherTicks; });
        QtForegroundWait wait;
        wait.holdDuringWaits({&held});
        held.start();
        other.start();
        QTest::qWait(100);
        const int left = held.remainingTime();
        heldTicks = 0; // a slow machine may have seen a tick already

        wait.runWhileWaiting([] { std::this_thread::sleep_for(std::chrono::milliseconds(600)); });

        QCOMPARE(heldTicks, 0);
        QVERIFY2(otherTicks > 0, "no event ran during the wait");
        QVERIFY(held.isActive());
        // Not a full interval: the time that was left, give or take a coarse timer's 5 %.
        QVERIFY2(held.remainingTime() <= left + 15,
                 qPrintable(QStringLiteral("%1 > %2").arg(held.remainingTime()).arg(left)));
        // After the first tick the usual interval again.
        QTRY_COMPARE(heldTicks, 1);
        QCOMPARE(held.interval(), 300);
    }
};

QTEST_MAIN(ForegroundWaitWidgetTest)
#include "ForegroundWaitWidgetTest.moc"
