#include "platform/XdgShellOpener.h"

#include "platform/DetachedProcess.h"
#include "platform/SystemErrorText.h"

#include <QFile>
#include <QFileInfo>

namespace tevo {

Status XdgShellOpener::open(const QString& address)
{
    const QString opener = QStringLiteral("xdg-open");
    QString found;
    const QString path = qEnvironmentVariableIsSet("PATH") ? qEnvironmentVariable("PATH")
                                                           : QStringLiteral("/usr/bin:/bin");
    for (const QString& folder : path.split(u':', Qt::SkipEmptyParts)) {
        const QFileInfo candidate(folder + u'/' + opener);
        if (candidate.isFile() && candidate.isExecutable()) {
            found = candidate.filePath();
            break;
        }
    }
    if (found.isEmpty()) {
        return Status::error(QStringLiteral("無法開啟網址「%1」：找不到開啟網址的程式 xdg-open。"
                                            "請系統管理員安裝 xdg-utils 套件。")
                                 .arg(address));
    }
    const Status started =
        DetachedProcess::start(QFile::encodeName(found), {opener.toUtf8(), address.toUtf8()});
    if (!started) {
        return Status::error(
            QStringLiteral("無法開啟網址「%1」：無法啟動 %2（%3）。請系統管理員協助。")
                .arg(address, found, started.message()));
    }
    return Status::ok();
}

} // namespace tevo
