// The idle countdown of the real window: Timer2 lowers the bar, and pointer movement over the
// background, the banner and the free area of the button column fills it again and restarts
// Timer2, also after a command that keeps the menu open has stopped it. Movement anywhere else
// and the keyboard leave both alone.

#include "shell/window/MainMenuBar.h"
#include "shell/window/UiFonts.h"
#include "support/WindowTestSupport.h"

#include <QAction>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tevo;
using namespace tevo::test;

namespace {

struct Area
{
    const char* what;
    std::function<QPoint(const WindowUnderTest&)> where; // in window coordinates
    bool resets;
};

std::function<QPoint(const WindowUnderTest&)> centreOf(const char* name)
{
    return [name](const WindowUnderTest& w) {
        QWidget* widget = w.control(name);
        return widget->mapTo(&w.window, widget->rect().center());
    };
}

std::function<QPoint(const WindowUnderTest&)> inside(const char* name, QPoint at)
{
    return [name, at](const WindowUnderTest& w) { return w.control(name)->mapTo(&w.window, at); };
}

const Area kAreas[] = {
    {"background Image1", centreOf("Image1"), true},
    {"banner Image2", centreOf("Image2"), true},
    {"free area of Picture1 left of the buttons", inside("Picture1", QPoint(3, 200)), true},
    {"free area of Picture1 below the buttons", inside("Picture1", QPoint(50, 405)), true},
    {"button Command1", centreOf("Command1"), false},
    {"button Command7", centreOf("Command7"), false},
    {"menu bar", [](const WindowUnderTest& w) { return w.window.menuBar()->geometry().center(); },
     false},
    {"notice line Label2", inside("Label2", QPoint(5, 5)), false},
    {"countdown bar ProgressBar1", centreOf("ProgressBar1"), false},
    {"status bar", centreOf("StatusBar1"), false},
};

// A point that resets nothing, to move from.
QPoint neutralPoint(const WindowUnderTest& w)
{
    return w.control("StatusBar1")->geometry().center();
}

void moveOver(WindowUnderTest& w, QPoint at)
{
    QTest::mouseMove(&w.window, at);
    QTest::mouseMove(&w.window, at + QPoint(1, 1));
    QCoreApplication::processEvents();
}

} // namespace

class MainWindowIdleWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { UiFonts::applyToApplication(); }

    // The real timer lowers the bar one step per 800 ms.
    void timer2LowersTheBar()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        auto* bar = w.control<QProgressBar>("ProgressBar1");
        QCOMPARE(bar->value(), 100);
        QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 99, 2000);
        QCOMPARE(w.window.countdownValue(), 99.0);
        QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 98, 2000);
    }

    // With Timer2 running: a reset fills the bar and makes the next tick a full interval away.
    void movementResetsOnlyOverTheThreeAreas()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        auto* bar = w.control<QProgressBar>("ProgressBar1");
        auto* timer2 = w.control<QTimer>("Timer2");
        for (const Area& area : kAreas) {
            moveOver(w, neutralPoint(w));
            w.window.setCountdownValue(40);
            // Half an interval into the timer's rhythm, so that a restart shows.
            QTRY_VERIFY2(timer2->remainingTime() < 500, area.what);
            const int remainingBefore = timer2->remainingTime();
            moveOver(w, area.where(w));
            const int remainingAfter = timer2->remainingTime();
            if (area.resets) {
                QVERIFY2(bar->value() == 100 && w.window.countdownValue() == 100.0, area.what);
                QVERIFY2(timer2->isActive() && remainingAfter > 600, area.what);
            } else {
                // A tick may have come in between and lowered the bar, never filled it.
                QVERIFY2(bar->value() <= 40 && bar->value() >= 38, area.what);
                QVERIFY2(timer2->isActive(), area.what);
                QVERIFY2(remainingAfter <= remainingBefore || bar->value() < 40, area.what);
            }
        }
    }

    // A side launch that keeps the menu open stops Timer2: only movement over the three areas
    // starts it again, with a full bar; elsewhere the bar and the stopped timer stay as they are.
    void movementRestartsTheTimerStoppedByASideLaunch()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        auto* bar = w.control<QProgressBar>("ProgressBar1");
        auto* timer2 = w.control<QTimer>("Timer2");
        QAction* rateTable = w.window.mainMenuBar()->action(QStringLiteral("zx1"));
        for (const Area& area : kAreas) {
            moveOver(w, neutralPoint(w));
            w.fakes.processes.started.clear();
            w.window.setCountdownValue(40);
            rateTable->trigger();
            QVERIFY2(w.fakes.processes.started == QStringList{QStringLiteral("1vzx.exe")},
                     area.what);
            QVERIFY2(!timer2->isActive() && !w.window.isIdleTimerEnabled(), area.what);
            moveOver(w, area.where(w));
            if (area.resets) {
                QVERIFY2(bar->value() == 100, area.what);
                QVERIFY2(timer2->isActive() && timer2->remainingTime() > 600, area.what);
                QVERIFY2(w.window.isIdleTimerEnabled(), area.what);
            } else {
                QVERIFY2(bar->value() == 40, area.what);
                QVERIFY2(!timer2->isActive() && !w.window.isIdleTimerEnabled(), area.what);
            }
        }
        QCOMPARE(w.fakes.exit.count, 0);
    }

    // Keys never count as activity, whichever control has the focus.
    void keyboardNeverResets()
    {
        WindowUnderTest w;
        QVERIFY(w.start());
        auto* bar = w.control<QProgressBar>("ProgressBar1");
        auto* timer2 = w.control<QTimer>("Timer2");
        w.window.mainMenuBar()->action(QStringLiteral("zx1"))->trigger();
        QVERIFY(!timer2->isActive());
        w.window.setCountdownValue(40);
        // Not Space or Return: they would press the focused button.
        const Qt::Key keys[] = {Qt::Key_Shift, Qt::Key_Tab, Qt::Key_Right,
                                Qt::Key_Down,  Qt::Key_A,   Qt::Key_Escape};
        for (const char* focus : {"Command1", "Command7"}) {
            w.control(focus)->setFocus();
            for (Qt::Key key : keys) {
                QTest::keyClick(QApplication::focusWidget(), key);
                QVERIFY2(
                    bar->value() == 40 && !timer2->isActive(),
                    qPrintable(QStringLiteral("%1, key %2").arg(QLatin1String(focus)).arg(key)));
            }
        }
        QCOMPARE(w.fakes.exit.count, 0);
    }

    // [Accessibility] KeyboardResetsCountdown=1 in the suite INI file makes keys count as
    // activity: a plain key and a shortcut key (F11 starts QMG.exe and keeps the menu open) fill
    // the bar and restart Timer2. Any other value is the design: keys leave both alone.
    void keyboardResetsOnlyWithTheOptIn()
    {
        const QString ini = QStringLiteral("/nonexistent/tevo-drive/kelpan.INI");
        const struct
        {
            const char* value; // nullptr: no entry
            bool resets;
        } rows[] = {{nullptr, false}, {"0", false}, {"yes", false}, {"1", true}};
        for (const auto& row : rows) {
            WindowUnderTest w;
            w.fakes.workingDirectory.root = QStringLiteral("/nonexistent/tevo-drive");
            if (row.value)
                w.fakes.profiles.files[ini][QStringLiteral("accessibility")]
                                      [QStringLiteral("keyboardresetscountdown")] =
                    QString::fromLatin1(row.value);
            QVERIFY(w.start());
            auto* bar = w.control<QProgressBar>("ProgressBar1");
            auto* timer2 = w.control<QTimer>("Timer2");
            w.control("Command1")->setFocus();
            for (Qt::Key key : {Qt::Key_Right, Qt::Key_F11}) {
                const QString what = QStringLiteral("%1, key %2")
                                         .arg(QLatin1String(row.value ? row.value : "none"))
                                         .arg(key);
                w.window.mainMenuBar()->action(QStringLiteral("zx1"))->trigger();
                w.window.setCountdownValue(40);
                QVERIFY2(!timer2->isActive(), qPrintable(what));
                QTest::keyClick(QApplication::focusWidget(), key);
                QVERIFY2(bar->value() == (row.resets ? 100 : 40), qPrintable(what));
                QVERIFY2(timer2->isActive() == row.resets, qPrintable(what));
            }
            QCOMPARE(w.fakes.processes.started.count(QStringLiteral("QMG.exe")), 1);
            QCOMPARE(w.fakes.exit.count, 0);
        }
    }
};

QTEST_MAIN(MainWindowIdleWidgetTest)
#include "MainWindowIdleWidgetTest.moc"
