#include "platform/PosixProcessStarter.h"

#include "platform/DetachedProcess.h"
#include "platform/FileLookup.h"
#include "platform/SystemErrorText.h"
#include "platform/SystemWorkingDirectory.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

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

QStringList PosixProcessStarter::searchFolders(const QString& programFolder,
                                               const QString& workingDirectory,
                                               const QString& pathVariable)
{
    QStringList folders;
    if (!programFolder.isEmpty())
        folders.append(programFolder);
    folders.append(workingDirectory);
    const QString path = pathVariable.isNull() ? QStringLiteral("/usr/bin:/bin") : pathVariable;
    for (const QString& entry : path.split(u':'))
        folders.append(entry.isEmpty() ? workingDirectory : entry);
    return folders;
}

std::optional<QString> PosixProcessStarter::locate(const QString& name, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString candidate = lookUpFile(folder, name);
        const QFileInfo info(candidate);
        if (info.exists() && !info.isDir())
            return candidate;
    }
    return std::nullopt;
}

QString PosixProcessStarter::programFolder()
{
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return executable.isEmpty() ? QString() : QFileInfo(executable).absolutePath();
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
    const QString workingDirectory = SystemWorkingDirectory().current();
    QStringList folders;
    std::optional<QString> path;
    if (program.contains(u'/')) {
        path = program;
    } else {
        const QByteArray pathVariable = qgetenv("PATH");
        folders = searchFolders(programFolder(), workingDirectory,
                                qEnvironmentVariableIsSet("PATH") ? QFile::decodeName(pathVariable)
                                                                  : QString());
        path = locate(program, folders);
    }
    if (!path) {
        // The list of folders is long on most machines; it goes to the details for support.
        folders.removeDuplicates();
        return Status::error(
            QStringLiteral("找不到程式「%1」：它應該在 Tevo 的資料夾「%2」中，系統的程式資料夾"
                           "裡也沒有。請確認它已安裝在 Tevo 的資料夾中，或請系統管理員協助。")
                .arg(program, workingDirectory),
            QStringLiteral("已搜尋的資料夾（依搜尋順序）：\n") + folders.join(u'\n'));
    }
    // The program gets its own name as argv[0] and no arguments.
    const QByteArray file = QFile::encodeName(*path);
    const QList<QByteArray> arguments{QFile::encodeName(program)};
    const int error = asChild ? DetachedProcess::startAsChild(file, arguments)
                              : DetachedProcess::start(file, arguments);
    if (error != 0) {
        return Status::error(QStringLiteral("無法啟動程式「%1」（%2）：%3。")
                                 .arg(program, *path, failureReason(error)));
    }
    return Status::ok();
}

} // namespace tevo
