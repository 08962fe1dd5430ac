#include "platform/PipedProcess.h"

#include "platform/SystemErrorText.h"

#include <QElapsedTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace tevo {

namespace {

// Ok for 0; otherwise an error with the errno as its code.
Status failure(int error)
{
    return error == 0 ? Status::ok() : Status::failure(systemErrorText(error), error);
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

std::vector<char*> pointers(const QList<QByteArray>& list)
{
    std::vector<char*> out;
    for (const QByteArray& item : list)
        out.push_back(const_cast<char*>(item.constData()));
    out.push_back(nullptr);
    return out;
}

} // namespace

PipedProcess::~PipedProcess()
{
    stop(0);
    closeFd(m_errors);
}

Status PipedProcess::start(const QByteArray& program, const QList<QByteArray>& arguments,
                           const QList<QByteArray>& environment, const QByteArray& workingFolder)
{
    closeFd(m_errors);
    m_exitStatus = -1;
    m_received.clear();
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0)
        return failure(errno);
    if (::pipe2(output, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(input[0]);
        ::close(input[1]);
        return failure(error);
    }
    // Without the anonymous file the child's complaints go where this process's go.
    m_errors = ::memfd_create("child-stderr", MFD_CLOEXEC);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);
    ::posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    ::posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    if (m_errors >= 0)
        ::posix_spawn_file_actions_adddup2(&actions, m_errors, 2);
    ::posix_spawn_file_actions_addchdir_np(&actions, workingFolder.constData());
    ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    sigset_t all;
    sigfillset(&all);
    sigset_t none;
    sigemptyset(&none);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    ::posix_spawnattr_setsigdefault(&attributes, &all);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);
    pid_t pid = -1;
    const int error =
        ::posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    ::close(input[0]);
    ::close(output[1]);
    if (error != 0) {
        ::close(input[1]);
        ::close(output[0]);
        return failure(error);
    }
    m_pid = pid;
    m_input = input[1];
    m_output = output[0];
    return Status::ok();
}

Status PipedProcess::write(QByteArrayView bytes)
{
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    const bool wasPending = sigismember(&pendingBefore, SIGPIPE);
    sigset_t saved;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &saved);
    int error = m_input < 0 ? EPIPE : 0;
    qsizetype done = 0;
    while (error == 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_input, bytes.data() + done, size_t(bytes.size() - done));
        if (n >= 0)
            done += n;
        else if (errno != EINTR)
            error = errno;
    }
    if (error == EPIPE && !wasPending && m_input >= 0) {
        const timespec now = {0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    return failure(error);
}

PipedProcess::Line PipedProcess::readLine(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (const qsizetype end = m_received.indexOf('\n'); end >= 0) {
            Line line;
            line.text = m_received.left(end);
            m_received.remove(0, end + 1);
            return line;
        }
        if (m_output < 0)
            return Line{std::nullopt, true, 0};
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0)
            return Line{};
        pollfd fd = {m_output, POLLIN, 0};
        const int ready = ::poll(&fd, 1, int(left));
        if (ready < 0 && errno != EINTR)
            return Line{std::nullopt, false, errno};
        if (ready <= 0)
            continue;
        char buffer[65536];
        const ssize_t n = ::read(m_output, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Line{std::nullopt, false, errno};
        if (n == 0)
            return Line{std::nullopt, true, 0};
        m_received.append(buffer, n);
    }
}

void PipedProcess::stop(int waitMs)
{
    if (!isRunning())
        return;
    closeFd(m_input);
    QElapsedTimer timer;
    timer.start();
    int status = 0;
    pid_t ended = 0;
    while ((ended = ::waitpid(m_pid, &status, WNOHANG)) == 0 && timer.elapsed() < waitMs)
        ::usleep(2000);
    if (ended == 0) {
        ::kill(m_pid, SIGKILL);
        while ((ended = ::waitpid(m_pid, &status, 0)) < 0 && errno == EINTR) {
        }
    }
    m_exitStatus = ended == m_pid ? status : -1;
    m_pid = -1;
    closeFd(m_output);
    m_received.clear();
}

QString PipedProcess::exitDescription() const
{
    if (m_exitStatus < 0)
        return QString();
    if (WIFEXITED(m_exitStatus))
        return QStringLiteral("結束代碼 %1").arg(WEXITSTATUS(m_exitStatus));
    if (WIFSIGNALED(m_exitStatus))
        return QStringLiteral("被訊號 %1 終止").arg(WTERMSIG(m_exitStatus));
    return QString();
}

QByteArray PipedProcess::errorOutput(qint64 maxBytes) const
{
    struct stat info;
    if (m_errors < 0 || ::fstat(m_errors, &info) != 0 || info.st_size == 0)
        return QByteArray();
    const qint64 from = qMax<qint64>(0, info.st_size - maxBytes);
    QByteArray tail(info.st_size - from, '\0');
    const ssize_t n = ::pread(m_errors, tail.data(), size_t(tail.size()), from);
    return n > 0 ? tail.left(n) : QByteArray();
}

} // namespace tevo
