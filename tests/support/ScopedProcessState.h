#pragma once

// Process-wide state that tests change for a while and put back: the working directory and
// environment variables. Also the processes whose parent is this one.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <unistd.h>
#include <vector>

namespace tevo::test {

class ScopedWorkingDirectory
{
public:
    explicit ScopedWorkingDirectory(const QString& folder) : m_saved(QDir::currentPath())
    {
        m_changed = ::chdir(QFile::encodeName(folder).constData()) == 0;
    }
    ~ScopedWorkingDirectory()
    {
        // Later tests would run in the wrong folder: say so.
        if (::chdir(QFile::encodeName(m_saved).constData()) != 0)
            std::perror("ScopedWorkingDirectory: cannot return to the saved folder");
    }
    bool changed() const { return m_changed; }

private:
    QString m_saved;
    bool m_changed = false;
};

class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : m_name(name), m_saved(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnvironment()
    {
        if (m_wasSet)
            qputenv(m_name, m_saved);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_saved;
    bool m_wasSet;
};

// The processes (running or zombie) whose parent is this process.
inline std::vector<pid_t> childProcesses()
{
    std::vector<pid_t> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == ::getpid())
            children.push_back(pid);
    }
    return children;
}

} // namespace tevo::test
