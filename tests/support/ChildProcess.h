#pragma once

// Running real programs from tests: captured output, a chosen environment and working
// directory, and optionally another user, so that permission checks hold even when the tests
// run as root.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo::test {

struct ChildRun
{
    int exitCode = -1;
    QString out;
    QString err;
    bool finished = false;
};

struct ChildOptions
{
    QStringList environment;  // NAME=value pairs added to (or replacing) the test's environment
    QString workingDirectory; // empty: the test's own
    std::optional<uid_t> user;
};

// The user to run as when a test needs permission checks to apply: nobody when the tests run
// as root (root passes every check), else the test's own user.
inline std::optional<uid_t> unprivilegedUser()
{
    return ::geteuid() == 0 ? std::optional<uid_t>(65534) : std::nullopt;
}

// Gives `path` (and everything under it) to `user`, so that it can work there.
inline void giveTo(const QString& path, std::optional<uid_t> user)
{
    if (!user)
        return;
    // A file left to root makes the child fail later for a reason that is hard to see: say so.
    if (::chown(QFile::encodeName(path).constData(), *user, *user) != 0)
        std::perror(QFile::encodeName(path).constData());
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            giveTo(entry.filePath(), user);
        else if (::lchown(QFile::encodeName(entry.filePath()).constData(), *user, *user) != 0)
            std::perror(QFile::encodeName(entry.filePath()).constData());
    }
}

inline ChildRun runChild(const QString& program, const QStringList& arguments,
                         const ChildOptions& options = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& pair : options.environment)
        environment.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    process.setProcessEnvironment(environment);
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    if (options.user) {
        const uid_t user = *options.user;
        process.setChildProcessModifier([user] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0)
                ::_exit(120);
        });
    }
    process.start(program, arguments);
    ChildRun run;
    run.finished = process.waitForFinished(60000);
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Returns the bytes of a file, or an empty array when it cannot be read.
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions mode = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && (mode == QFile::Permissions() || file.setPermissions(mode));
}

} // namespace tevo::test
