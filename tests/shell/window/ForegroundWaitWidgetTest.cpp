// The window's wait for a request: events go on, the held timers stand still and then go on
// with the time they had left, once, and at their own interval after that, however many waits
// come in a row. Nothing that runs during a wait starts a held timer.

#include "online/RunningVersion.h"
#include "online/WaitingHttpFetcher.h"
#include "platform/qt/PausableTimer.h"
#include "platform/qt/QtForegroundWait.h"
#include "shell/window/MainMenuBar.h"
#include "shell/window/UiFonts.h"
#include "support/WindowTestSupport.h"

#include <QAction>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <thread>

using namespace tevo;
using namespace tevo::test;

namespace {

// The vendor's server, answering each request only once the test has let it: the window's
// thread is inside the wait from the moment `received` is given until `answer` is.
class HeldServer : public HttpFetcher
{
public:
    FetchResult get(const QString& url) override
    {
        received.release();
        if (!answer.tryAcquire(1, 10000))
            return FetchResult::failure(28, QStringLiteral("the test never answered"));
        // The same version as the running one: the update command ends with a message and
        // leaves the menu open.
        return FetchResult::reply(url.contains(QLatin1String("vw11"))
                                      ? QStringLiteral("VW11:") + runningVersionString()
                                      : QStringLiteral("通告:"));
    }
    QSemaphore received;
    QSemaphore answer;
};

// The real window whose requests go through the real wait, as in main().
struct WaitingWindow
{
    FakePlatform fakes;
    HeldServer server;
    QtForegroundWait wait;
    WaitingHttpFetcher http{server, wait};
    Platform platform{
        fakes.store,    fakes.workingDirectory, fakes.processes, fakes.shell, fakes.exit,
        fakes.beeper,   fakes.messages,         fakes.cursor,    fakes.clock, http,
        fakes.profiles, fakes.volumeSerial};
    MainWindow window{platform};

    PausableTimer* timer(const char* name) const
    {
        return window.findChild<PausableTimer*>(QString::fromLatin1(name));
    }
};

} // namespace

class ForegroundWaitWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    // Two waits in a row; a held timer switched off during the first one stays off.
    void heldTimersStandStillWhileOtherEventsRun()
    {
        PausableTimer held(QStringLiteral("held"), 300, nullptr);
        int heldTicks = 0;
        connect(&held, &QTimer::timeout, [&] { ++heldTicks; });
        PausableTimer switchedOff(QStringLiteral("switchedOff"), 300, nullptr);
        QTimer other;
        other.setInterval(20);
        int otherTicks = 0;
        connect(&other, &QTimer::timeout, [&] { ++otherTicks; });
        QtForegroundWait wait;
        wait.holdDuringWaits({&held, &switchedOff});
        held.setEnabled(true);
        switchedOff.setEnabled(true);
        other.start();
        QTest::qWait(100);
        const int left = held.remainingTime();
        heldTicks = 0; // a slow machine may have seen a tick already
        QTimer::singleShot(0, [&] { switchedOff.setEnabled(false); });

        for (int i = 0; i < 2; ++i)
            wait.runWhileWaiting(
                [] { std::this_thread::sleep_for(std::chrono::milliseconds(150)); });

        QCOMPARE(heldTicks, 0);
        QVERIFY2(otherTicks > 0, "no event ran during the wait");
        QVERIFY(held.isActive());
        QVERIFY(!switchedOff.isActive());
        // Not a full interval: the time that was left, give or take a coarse timer's 5 %.
        QVERIFY2(held.remainingTime() <= left + 15,
                 qPrintable(QStringLiteral("%1 > %2").arg(held.remainingTime()).arg(left)));
        // After the first tick the timer's own interval again.
        QTRY_COMPARE(heldTicks, 1);
        QCOMPARE(held.interval(), 300);
    }

    // The update command makes two requests, one wait each. A resize and a minimise during the
    // waits start neither timer; afterwards Timer1 steps every 100 ms and Timer2 every 800 ms,
    // so that the count still takes its 80 s to reach the entry program.
    void updateCommandLeavesTheTimersAtTheirIntervals()
    {
        WaitingWindow w;
        w.fakes.store.set(QStringLiteral("kelpan"), w.fakes.workingDirectory.path,
                          QStringLiteral("r5"), w.fakes.workingDirectory.path);
        w.wait.holdDuringWaits({w.timer("Timer1"), w.timer("Timer2")});
        QVERIFY(startWindow(w.window));
        PausableTimer* timer1 = w.timer("Timer1");
        PausableTimer* timer2 = w.timer("Timer2");
        // Well into Timer2's interval, so that the time it has left is far from a full one.
        QTRY_VERIFY(timer2->remainingTime() < 500);

        QStringList seenInWaits;
        const QSize size = w.window.size();
        QTimer server;
        connect(&server, &QTimer::timeout, [&] {
            if (!w.server.received.tryAcquire())
                return;
            if (seenInWaits.isEmpty()) {
                w.window.resize(size - QSize(40, 0));
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                w.window.showMinimized();
                w.window.showNormal();
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
            const auto state = [](const QTimer* t) {
                return t->isActive() ? QStringLiteral("on") : QStringLiteral("off");
            };
            seenInWaits.append(
                QStringLiteral("Timer1 %1, Timer2 %2").arg(state(timer1), state(timer2)));
            w.server.answer.release();
        });
        server.start(20);
        const int leftBefore = timer2->remainingTime();
        w.window.mainMenuBar()->action(QStringLiteral("TGEV"))->trigger();
        QElapsedTimer sinceWaits;
        sinceWaits.start();
        server.stop();

        QCOMPARE(seenInWaits, QStringList(2, QStringLiteral("Timer1 off, Timer2 off")));
        QCOMPARE(w.window.width(), size.width() - 40);
        QCOMPARE(w.fakes.messages.shown, QStringList{QStringLiteral("目前已是最新版本無需更新")});
        QVERIFY(timer1->isActive() && timer2->isActive());

        // Three steps left: the first after the time Timer2 had left, the other two 800 ms
        // apart (a coarse timer may come 5 % early, and a tick handled late makes the next one
        // look early; a shortened interval is shorter than the 500 ms left before the waits).
        QList<qint64> steps;
        connect(timer2, &QTimer::timeout, [&] { steps.append(sinceWaits.elapsed()); });
        w.window.setCountdownValue(3);
        QTRY_COMPARE_WITH_TIMEOUT(w.fakes.exit.count, 1, 5000);
        QCOMPARE(steps.size(), 3);
        QVERIFY2(steps[0] < leftBefore + 150,
                 qPrintable(QStringLiteral("%1 after %2 left").arg(steps[0]).arg(leftBefore)));
        for (int i = 1; i < steps.size(); ++i) {
            const qint64 step = steps[i] - steps[i - 1];
            QVERIFY2(step >= 700 && step < 1200, qPrintable(QString::number(step)));
        }
        QCOMPARE(timer1->interval(), 100);
        QCOMPARE(timer2->interval(), 800);
        QCOMPARE(w.fakes.processes.started, QStringList{QStringLiteral("GARVO.exe")});
    }
};

QTEST_MAIN(ForegroundWaitWidgetTest)
#include "ForegroundWaitWidgetTest.moc"
