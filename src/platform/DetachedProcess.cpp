#include "platform/DetachedProcess.h"

#include "platform/SystemErrorText.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace tevo {

namespace {

// How every started program begins, whatever the caller had set up for itself: a session of
// its own, every signal at its default and none blocked, and no descriptor but the standard
// three. Made before any fork, so that a forked child only needs posix_spawn() itself, which
// allocates nothing and takes no lock: the caller may have other threads, whose locks a forked
// child inherits in whatever state they were.
class SpawnSettings
{
public:
    explicit SpawnSettings(const DetachedProcess::Setting& setting = {})
    {
        m_error = ::posix_spawnattr_init(&m_attributes);
        if (m_error != 0)
            return;
        m_error = ::posix_spawn_file_actions_init(&m_actions);
        if (m_error != 0) {
            ::posix_spawnattr_destroy(&m_attributes);
            return;
        }
        m_initialised = true;
        // sigfillset() leaves out the two real-time signals that the C library keeps for itself
        // (32 and 33), and posix_spawn() ignores those in the program unless they are in this
        // set; an ignored signal stays ignored across exec. A set with every bit on resets them
        // too.
        sigset_t all;
        std::memset(&all, 0xFF, sizeof all);
        sigset_t none;
        sigemptyset(&none);
        m_error = ::posix_spawnattr_setflags(
            &m_attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        if (m_error == 0)
            m_error = ::posix_spawnattr_setsigdefault(&m_attributes, &all);
        if (m_error == 0)
            m_error = ::posix_spawnattr_setsigmask(&m_attributes, &none);
        // Descriptors the caller left inheritable (sockets, files) are not the program's
        // business.
        if (m_error == 0)
            m_error = ::posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
        if (m_error == 0 && !setting.workingFolder.isEmpty()) {
            m_folder = setting.workingFolder;
            m_error = ::posix_spawn_file_actions_addchdir_np(&m_actions, m_folder.constData());
        }
        if (setting.environment) {
            m_environmentText = *setting.environment;
            for (const QByteArray& entry : m_environmentText)
                m_environment.push_back(const_cast<char*>(entry.constData()));
            m_environment.push_back(nullptr);
        }
    }
    ~SpawnSettings()
    {
        if (!m_initialised)
            return;
        ::posix_spawn_file_actions_destroy(&m_actions);
        ::posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    // 0, or the errno of what failed in setting them up.
    int error() const { return m_error; }

    // Runs `path` with `argv` as a child of the calling process; 0 or the errno of what failed,
    // the exec's own failure included.
    int spawn(const char* path, char* const* argv) const
    {
        pid_t child = 0;
        return ::posix_spawn(&child, path, &m_actions, &m_attributes, argv,
                             m_environment.empty() ? environ : m_environment.data());
    }

private:
    posix_spawnattr_t m_attributes;
    posix_spawn_file_actions_t m_actions;
    bool m_initialised = false;
    int m_error = 0;
    QByteArray m_folder;
    QList<QByteArray> m_environmentText;
    std::vector<char*> m_environment; // empty: the caller's
};

std::vector<char*> argumentVector(const QList<QByteArray>& arguments)
{
    std::vector<char*> argv;
    argv.reserve(static_cast<size_t>(arguments.size()) + 1);
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    return argv;
}

int startAsChildOrErrno(const QByteArray& path, const QList<QByteArray>& arguments,
                        const DetachedProcess::Setting& setting)
{
    const std::vector<char*> argv = argumentVector(arguments);
    const SpawnSettings settings(setting);
    if (settings.error() != 0)
        return settings.error();
    return settings.spawn(path.constData(), argv.data());
}

int startOrErrno(const QByteArray& path, const QList<QByteArray>& arguments,
                 const DetachedProcess::Setting& setting)
{
    const std::vector<char*> argv = argumentVector(arguments);
    const SpawnSettings settings(setting);
    if (settings.error() != 0)
        return settings.error();

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
        // Only async-signal-safe calls and posix_spawn() here. The program is this child's
        // child; this child ends at once, so the program is nobody's zombie to collect.
        ::close(report[0]);
        int error = settings.spawn(path.constData(), argv.data());
        if (error != 0) {
            ssize_t written;
            do {
                written = ::write(report[1], &error, sizeof error);
            } while (written < 0 && errno == EINTR);
        }
        ::_exit(error == 0 ? 0 : 127);
    }

    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // End of file without a number: the program was started.
    int error = 0;
    ssize_t received;
    do {
        received = ::read(report[0], &error, sizeof error);
    } while (received < 0 && errno == EINTR);
    ::close(report[0]);
    return received == static_cast<ssize_t>(sizeof error) ? error : 0;
}

Status statusOf(int error)
{
    return error == 0 ? Status::ok() : Status::failure(systemErrorText(error), error);
}

} // namespace

Status DetachedProcess::start(const QByteArray& path, const QList<QByteArray>& arguments,
                              const Setting& setting)
{
    return statusOf(startOrErrno(path, arguments, setting));
}

Status DetachedProcess::startAsChild(const QByteArray& path, const QList<QByteArray>& arguments,
                                     const Setting& setting)
{
    return statusOf(startAsChildOrErrno(path, arguments, setting));
}

} // namespace tevo
