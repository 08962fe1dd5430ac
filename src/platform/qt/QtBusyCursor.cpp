#include "platform/qt/QtBusyCursor.h"

#include <QApplication>
#include <QCursor>
#include <QWindow>

namespace tevo {

QtBusyCursor::~QtBusyCursor()
{
    if (m_busy && qApp)
        QApplication::restoreOverrideCursor();
}

void QtBusyCursor::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtBusyCursor::prepare()
{
    // On X11 the first use of a pointer shape reads it from the cursor theme and sends every
    // frame of it to the display (the animated hourglass is over 100 KB). Qt keeps the shape
    // once made, so making it here on a window that is never shown takes that work off the
    // moment a module is started.
    QWindow unseen;
    unseen.create();
    unseen.setCursor(Qt::WaitCursor);
}

} // namespace tevo
