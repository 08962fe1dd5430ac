#pragma once

// The real main window with recording fakes behind it, for widget tests.

#include "shell/window/MainWindow.h"
#include "support/Fakes.h"

#include <QTest>

namespace tevo::test {

// Loads and shows the window, then waits until it is active and its timers run.
inline bool startWindow(MainWindow& window)
{
    if (!window.load())
        return false;
    window.show();
    if (!QTest::qWaitForWindowActive(&window))
        return false;
    // The first activation runs from the event loop right after the first showing.
    QCoreApplication::processEvents();
    return true;
}

// Fakes first, so they outlive the window. Prepare the fakes (store values, loadable files),
// then start(): load, show and wait until the window is active and its timers run.
struct WindowUnderTest
{
    FakePlatform fakes;
    MainWindow window{fakes.platform};

    bool start() { return startWindow(window); }

    template <typename T = QWidget> T* control(const char* name) const
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
};

} // namespace tevo::test
