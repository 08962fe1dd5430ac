#include "platform/PosixProcessStarter.h"

#include "platform/DetachedProcess.h"
#include "platform/FileLookup.h"
#include "platform/FileNameText.h"
#include "platform/SystemErrorText.h"
#include "platform/SystemWorkingDirectory.h"
#include "platform/WindowsExecutable.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo {

namespace {

QString failureReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("沒有執行權限（或所在的磁碟不允許執行程式）。"
                              "請系統管理員為這個檔案開啟執行權限");
    case ENOEXEC:
        return QStringLiteral("檔案不是這部電腦能執行的程式格式。請重新安裝這個程式");
    case ENOENT:
        return QStringLiteral("檔案已不存在，或它需要的直譯程式不存在。請重新安裝這個程式");
    default:
        return systemErrorText(error) + QStringLiteral("。請稍後再試，或請系統管理員協助");
    }
}

} // namespace

QList<QByteArray> PosixProcessStarter::searchFolders(const QByteArray& programFolder,
                                                     const QByteArray& workingDirectory,
                                                     const QByteArray& pathVariable)
{
    QList<QByteArray> folders;
    if (!programFolder.isEmpty())
        folders.append(programFolder);
    folders.append(workingDirectory);
    const QByteArray path = pathVariable.isNull() ? QByteArray("/usr/bin:/bin") : pathVariable;
    for (const QByteArray& entry : path.split(':'))
        folders.append(entry.isEmpty() ? workingDirectory : entry);
    return folders;
}

std::optional<QByteArray> PosixProcessStarter::locate(const QString& name,
                                                      const QList<QByteArray>& folders)
{
    for (const QByteArray& folder : folders) {
        const QByteArray candidate = lookUpFile(folder, name);
        struct stat info;
        if (::stat(candidate.constData(), &info) == 0 && !S_ISDIR(info.st_mode))
            return candidate;
    }
    return std::nullopt;
}

QByteArray PosixProcessStarter::programFolder()
{
    QByteArray executable(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", executable.data(), executable.size());
    if (length <= 0 || length >= executable.size())
        return QByteArray();
    executable.truncate(length);
    const qsizetype slash = executable.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : executable.left(slash);
}

PosixProcessStarter::PosixProcessStarter(WineEnvironment wine) : m_wine(std::move(wine)) {}

std::optional<QByteArray> PosixProcessStarter::find(const QString& program)
{
    const QByteArray workingDirectory = SystemWorkingDirectory().nativePath();
    return locate(
        program, searchFolders(programFolder(), workingDirectory,
                               qEnvironmentVariableIsSet("PATH") ? qgetenv("PATH") : QByteArray()));
}

Status PosixProcessStarter::start(const QString& program)
{
    return launch(program, false);
}

Status PosixProcessStarter::startBeforeEnding(const QString& program)
{
    return launch(program, true);
}

Status PosixProcessStarter::launch(const QString& program, bool asChild)
{
    const QByteArray workingDirectory = SystemWorkingDirectory().nativePath();
    QList<QByteArray> folders;
    std::optional<QByteArray> path;
    if (program.contains(u'/')) {
        path = QFile::encodeName(program);
    } else {
        // A null PATH stands for an unset one.
        folders = searchFolders(programFolder(), workingDirectory,
                                qEnvironmentVariableIsSet("PATH") ? qgetenv("PATH") : QByteArray());
        path = locate(program, folders);
    }
    if (!path) {
        // The list of folders is long on most machines; it goes to the details for support.
        QStringList searched;
        for (const QByteArray& folder : folders)
            searched.append(FileNameText::forMessage(folder));
        searched.removeDuplicates();
        return Status::error(
            QStringLiteral("找不到程式「%1」：它應該在 Tevo 的資料夾「%2」中，系統的程式資料夾"
                           "裡也沒有。請確認它已安裝在 Tevo 的資料夾中，或請系統管理員協助。")
                .arg(program, FileNameText::forMessage(workingDirectory)),
            QStringLiteral("已搜尋的資料夾（依搜尋順序）：\n") + searched.join(u'\n'));
    }
    // The program gets its own name as argv[0] and no arguments; a Windows program gets `wine`
    // and its path, and runs in the working directory, which PWD names for Wine.
    QByteArray executable = *path;
    QList<QByteArray> arguments{QFile::encodeName(program)};
    DetachedProcess::Setting setting;
    if (isWindowsExecutable(QFile::decodeName(*path))) {
        const Result<WineCommand> wine =
            m_wine.command(QFile::decodeName(*path), {}, QFile::decodeName(workingDirectory));
        if (!wine) {
            return Status::error(
                QStringLiteral("無法啟動程式「%1」：%2").arg(program, wine.error()),
                wine.status().details());
        }
        executable = wine.value().program;
        arguments = wine.value().arguments;
        setting.environment = wine.value().environment;
        setting.workingFolder = workingDirectory;
    }
    const Status started = asChild ? DetachedProcess::startAsChild(executable, arguments, setting)
                                   : DetachedProcess::start(executable, arguments, setting);
    if (!started) {
        return Status::error(
            QStringLiteral("無法啟動程式「%1」（%2）：%3。")
                .arg(program, FileNameText::forMessage(*path), failureReason(started.code())));
    }
    return Status::ok();
}

} // namespace tevo
