#include "platform/qt/QtBeeper.h"

#include "platform/EventSoundPlayer.h"

#include <QApplication>

#include <cstdio>

namespace tevo {

QtBeeper::QtBeeper(EventSoundPlayer& sounds, const QString& platformName)
    : m_sounds(sounds), m_usesSoundTheme(platformName.startsWith(QLatin1String("wayland")))
{
}

void QtBeeper::beep()
{
    if (m_usesSoundTheme) {
        const Status played = m_sounds.play(QStringLiteral("bell"));
        if (played)
            return;
        // A beep has no one to tell: say it once where an administrator looks.
        if (!m_failureReported) {
            m_failureReported = true;
            std::fprintf(stderr, "tevo-menu: %s\n", played.message().toLocal8Bit().constData());
        }
    }
    QApplication::beep();
}

} // namespace tevo
