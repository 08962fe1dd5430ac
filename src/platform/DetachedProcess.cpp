#include "platform/DetachedProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/close_range.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace tevo {

namespace {

// Only async-signal-safe calls from here on in the forked processes: the caller may have other
// threads, whose locks the child inherits in whatever state they were.
[[noreturn]] void reportAndExit(int fd, int error)
{
    ssize_t written;
    do {
        written = ::write(fd, &error, sizeof error);
    } while (written < 0 && errno == EINTR);
    ::_exit(127);
}

// The started program begins with default signal dispositions and nothing blocked, whatever the
// caller had set up for itself.
void resetSignals()
{
    struct sigaction defaultAction = {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &defaultAction, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

std::vector<char*> argumentVector(const QList<QByteArray>& arguments)
{
    std::vector<char*> argv;
    argv.reserve(static_cast<size_t>(arguments.size()) + 1);
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    return argv;
}

} // namespace

int DetachedProcess::startAsChild(const QByteArray& path, const QList<QByteArray>& arguments)
{
    std::vector<char*> argv = argumentVector(arguments);
    posix_spawnattr_t attributes;
    if (const int error = ::posix_spawnattr_init(&attributes); error != 0)
        return error;
    posix_spawn_file_actions_t actions;
    if (const int error = ::posix_spawn_file_actions_init(&actions); error != 0) {
        ::posix_spawnattr_destroy(&attributes);
        return error;
    }
    sigset_t all;
    sigfillset(&all);
    sigset_t none;
    sigemptyset(&none);
    int error = ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF |
                                                            POSIX_SPAWN_SETSIGMASK);
    if (error == 0)
        error = ::posix_spawnattr_setsigdefault(&attributes, &all);
    if (error == 0)
        error = ::posix_spawnattr_setsigmask(&attributes, &none);
    if (error == 0)
        error = ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (error == 0) {
        pid_t child = 0;
        error =
            ::posix_spawn(&child, path.constData(), &actions, &attributes, argv.data(), environ);
    }
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    return error;
}

int DetachedProcess::start(const QByteArray& path, const QList<QByteArray>& arguments)
{
    std::vector<char*> argv = argumentVector(arguments);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return errno;
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return error;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0)
            reportAndExit(report[1], errno);
        if (grandchild > 0)
            ::_exit(0);
        resetSignals();
        // Descriptors the caller left inheritable (sockets, files) are not the program's
        // business; the report pipe is close-on-exec already.
        ::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);
        ::execv(path.constData(), argv.data());
        reportAndExit(report[1], errno);
    }

    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // End of file without a number: the exec succeeded and closed the pipe.
    int error = 0;
    ssize_t received;
    do {
        received = ::read(report[0], &error, sizeof error);
    } while (received < 0 && errno == EINTR);
    ::close(report[0]);
    return received == static_cast<ssize_t>(sizeof error) ? error : 0;
}

} // namespace tevo
