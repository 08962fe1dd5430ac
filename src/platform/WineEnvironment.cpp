#include "platform/WineEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <locale.h>
#include <unistd.h>

namespace tevo {

namespace {

QString prefixCreation(const QString& prefix)
{
    return QStringLiteral("請以執行 Windows 版程式的使用者執行「WINEPREFIX=%1 wineboot -i」建立它，"
                          "或把環境變數 WINEPREFIX 設為 Windows 版程式所用的 Wine 環境。")
        .arg(prefix);
}

} // namespace

WineEnvironment::WineEnvironment(QProcessEnvironment environment)
{
    // QProcessEnvironment has no move constructor (std::move would copy): a swap takes the
    // caller's copy over without another.
    m_environment.swap(environment);
}

QString WineEnvironment::prefix() const
{
    const QString prefix = m_environment.value(QStringLiteral("WINEPREFIX"));
    if (!prefix.isEmpty())
        return QDir::cleanPath(prefix);
    const QString home = m_environment.value(QStringLiteral("HOME"));
    return home.isEmpty() ? QString() : QDir::cleanPath(home + QStringLiteral("/.wine"));
}

Status WineEnvironment::checkPrefix() const
{
    const QString folder = prefix();
    if (folder.isEmpty()) {
        return Status::error(
            QStringLiteral("不知道 Wine 的環境在哪裡：環境變數 WINEPREFIX 和 HOME 都沒有設定。"
                           "請把 WINEPREFIX 設為 Windows 版程式所用的 Wine 環境。"));
    }
    if (!folder.startsWith(u'/')) {
        return Status::error(QStringLiteral("Wine 的環境「%1」不是完整的路徑（應以 / 開頭）。"
                                            "請把環境變數 WINEPREFIX 設為它的完整路徑。")
                                 .arg(folder));
    }
    const QFileInfo info(folder);
    if (!info.isDir()) {
        return Status::error(
            QStringLiteral("找不到 Wine 的環境「%1」，Tevo 不會自行建立它。").arg(folder) +
            prefixCreation(folder));
    }
    if (!QFileInfo(folder + QStringLiteral("/system.reg")).isFile()) {
        return Status::error(
            QStringLiteral("資料夾「%1」不是建立好的 Wine 環境（裡面沒有 system.reg）。")
                .arg(folder) +
            prefixCreation(folder));
    }
    return Status::ok();
}

Status WineEnvironment::checkLocale()
{
    const locale_t locale = ::newlocale(LC_ALL_MASK, kLocale, locale_t(nullptr));
    if (locale != locale_t(nullptr)) {
        ::freelocale(locale);
        return Status::ok();
    }
    return Status::error(
        QStringLiteral("這部電腦沒有 %1 語系，Windows 版程式需要它才能正確處理中文（代碼頁 950）。"
                       "請系統管理員執行「localedef -i zh_TW -f UTF-8 zh_TW.UTF-8」，"
                       "或在 /etc/locale.gen 中啟用「zh_TW.UTF-8 UTF-8」後執行 locale-gen。")
            .arg(QLatin1String(kLocale)));
}

Result<QString> WineEnvironment::wineProgram(const QString& forProgram) const
{
    const QString path = m_environment.value(QStringLiteral("PATH"));
    for (const QString& folder : path.split(u':', Qt::SkipEmptyParts)) {
        const QString candidate = folder + QStringLiteral("/wine");
        const QFileInfo info(candidate);
        if (candidate.startsWith(u'/') && info.isFile() &&
            ::access(QFile::encodeName(candidate).constData(), X_OK) == 0)
            return candidate;
    }
    return Result<QString>::error(
        QStringLiteral("「%1」是 Windows 程式，需要 Wine 才能執行，但這部電腦上找不到 wine。"
                       "請系統管理員安裝 Debian 套件 wine（apt-get install wine）。")
            .arg(QFileInfo(forProgram).fileName()));
}

Result<WineCommand> WineEnvironment::command(const QString& windowsProgram,
                                             const QStringList& arguments,
                                             const QString& workingFolder) const
{
    const Result<QString> wine = wineProgram(windowsProgram);
    if (!wine)
        return Result<WineCommand>::error(wine.status());
    if (Status s = checkPrefix(); !s)
        return Result<WineCommand>::error(s);
    if (Status s = checkLocale(); !s)
        return Result<WineCommand>::error(s);

    QProcessEnvironment environment = m_environment;
    environment.insert(QStringLiteral("WINEPREFIX"), prefix());
    environment.insert(QStringLiteral("LANG"), QLatin1String(kLocale));
    environment.insert(QStringLiteral("LC_ALL"), QLatin1String(kLocale));
    environment.insert(QStringLiteral("PWD"), workingFolder);
    if (!environment.contains(QStringLiteral("WINEDEBUG")))
        environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));

    WineCommand command;
    command.program = QFile::encodeName(wine.value());
    command.arguments.append(QByteArrayLiteral("wine"));
    command.arguments.append(QFile::encodeName(windowsProgram));
    for (const QString& argument : arguments)
        command.arguments.append(argument.toUtf8());
    for (const QString& entry : environment.toStringList())
        command.environment.append(QFile::encodeName(entry));
    command.workingFolder = QFile::encodeName(workingFolder);
    return command;
}

} // namespace tevo
