#include "shell/window/FirstFrameReport.h"

#include <QEvent>
#include <QFile>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace tevo {

void FirstFrameReport::installFromEnvironment(QWidget* window)
{
    const QString file = qEnvironmentVariable(kEnvironmentVariable);
    if (file.isEmpty())
        return;
    // A relative name would land in the working directory, the suite's shared folder.
    if (!file.startsWith(u'/')) {
        std::fprintf(stderr, "%s: %s is not an absolute file name; no report is written\n",
                     kEnvironmentVariable, qPrintable(file));
        return;
    }
    new FirstFrameReport(window, file);
}

FirstFrameWatch::FirstFrameWatch(QWidget* window, std::function<void()> work)
    : QObject(window), m_window(window), m_work(std::move(work))
{
    window->installEventFilter(this);
}

bool FirstFrameWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Paint && m_work) {
        m_window->removeEventFilter(this);
        // The children are painted and the frame is flushed after this event returns.
        QMetaObject::invokeMethod(this, std::exchange(m_work, nullptr), Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

FirstFrameReport::FirstFrameReport(QWidget* window, QString file)
    : FirstFrameWatch(window, [this] { write(); }), m_file(std::move(file))
{
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
    const QByteArray line = QByteArray::number(monotonic) + ' ' + QByteArray::number(cpu) + '\n';
    // Only a new file: an existing file, or a link in its place, is never written through.
    const int fd = ::open(QFile::encodeName(m_file).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    bool written = fd >= 0;
    int error = errno;
    if (written) {
        written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
        error = errno;
        written = ::close(fd) == 0 && written;
    }
    if (!written) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", kEnvironmentVariable, qPrintable(m_file),
                     std::strerror(error));
    }
}

} // namespace tevo
