#include "platform/qt/QtBusyCursor.h"

#include <QApplication>
#include <QCursor>

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

} // namespace tevo
