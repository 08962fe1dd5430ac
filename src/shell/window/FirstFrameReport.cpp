#include "shell/window/FirstFrameReport.h"

#include <QEvent>
#include <QFile>
#include <QWidget>

#include <cstdio>
#include <time.h>

namespace tevo {

void FirstFrameReport::installFromEnvironment(QWidget* window)
{
    const QString file = qEnvironmentVariable(kEnvironmentVariable);
    if (!file.isEmpty())
        new FirstFrameReport(window, file);
}

FirstFrameReport::FirstFrameReport(QWidget* window, QString file)
    : QObject(window), m_window(window), m_file(std::move(file))
{
    window->installEventFilter(this);
}

bool FirstFrameReport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        m_window->removeEventFilter(this);
        // The children are painted and the frame is flushed after this event returns.
        QMetaObject::invokeMethod(this, &FirstFrameReport::write, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

namespace {

qint64 nanoseconds(clockid_t clock)
{
    timespec now{};
    ::clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

void FirstFrameReport::write()
{
    const qint64 monotonic = nanoseconds(CLOCK_MONOTONIC);
    const qint64 cpu = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
    QFile out(m_file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(QByteArray::number(monotonic) + ' ' + QByteArray::number(cpu) + '\n') < 0) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", kEnvironmentVariable, qPrintable(m_file),
                     qPrintable(out.errorString()));
    }
}

} // namespace tevo
