#include "platform/qt/QtBeeper.h"

#include <QApplication>

namespace tevo {

void QtBeeper::beep()
{
    QApplication::beep();
}

} // namespace tevo
