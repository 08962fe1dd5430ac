#include "platform/WineBridge.h"

#include "platform/PosixProcessStarter.h"
#include "platform/SystemErrorText.h"
#include "platform/TextCodec.h"
#include "platform/WineBridgeProtocol.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

#ifndef TEVO_WINE_BRIDGE_FROM_BINDIR
#error "TEVO_WINE_BRIDGE_FROM_BINDIR (the installed bridge's folder relative to BINDIR) is needed"
#endif

namespace tevo {

namespace {

constexpr qint64 kStderrTail = 2000;
constexpr int kStopWaitMs = 2000;

QString bridgeName()
{
    return QString::fromLatin1(WineBridge::kFileName);
}

// A status as the message of a Result, which has no details: the details follow on new lines.
QString joined(const Status& status)
{
    return status.details().isEmpty() ? status.message()
                                      : status.message() + u'\n' + status.details();
}

// Wine's own messages are UTF-8; what Windows programs write on the console is in the console's
// code page, 950 under zh_TW.UTF-8. Each line is read in the form it is valid in.
QString wineMessages(const QByteArray& bytes)
{
    QStringList lines;
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray text = line.trimmed();
        if (!text.isEmpty())
            lines.append(TextCodec::isValidUtf8(text) ? TextCodec::decodeUtf8(text)
                                                      : TextCodec::decodeCp950(text));
    }
    return lines.join(u'\n');
}

QString notStarted(int error)
{
    return QStringLiteral("無法啟動：%1").arg(systemErrorText(error));
}

} // namespace

Result<QString> WineBridge::locate()
{
    const QString programFolder = PosixProcessStarter::programFolder();
    QStringList places;
    if (!programFolder.isEmpty()) {
        places.append(programFolder);
        places.append(
            QDir::cleanPath(programFolder + u'/' + QStringLiteral(TEVO_WINE_BRIDGE_FROM_BINDIR)));
    }
    for (const QString& folder : places) {
        const QString candidate = folder + u'/' + bridgeName();
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return Result<QString>::error(
        QStringLiteral("找不到 Wine 輔助程式 %1（它應該在 %2）。請重新安裝 tevo-menu 套件；"
                       "自行編譯時需要 Debian 套件 g++-mingw-w64-x86-64。")
            .arg(bridgeName(), places.join(QStringLiteral("、"))));
}

WineBridge::WineBridge(WineEnvironment environment, QString workingFolder, QString bridgePath)
    : m_environment(std::move(environment)), m_workingFolder(std::move(workingFolder)),
      m_bridgePath(std::move(bridgePath))
{
}

WineBridge::~WineBridge()
{
    stop();
}

Status WineBridge::start()
{
    if (isRunning())
        return Status::ok();
    if (m_bridgePath.isEmpty()) {
        const Result<QString> found = locate();
        if (!found)
            return found.status();
        m_bridgePath = found.value();
    }
    const Result<WineCommand> command = m_environment.command(m_bridgePath, {}, m_workingFolder);
    if (!command)
        return command.status();

    const WineCommand& run = command.value();
    if (const Status started =
            m_process.start(run.program, run.arguments, run.environment, run.workingFolder);
        !started) {
        const int error = started.code();
        if (!QFileInfo(m_workingFolder).isDir()) {
            return Status::error(
                QStringLiteral(
                    "無法在資料夾「%1」啟動 Wine：%2。請回到 Tevo 的資料夾重新啟動程式。")
                    .arg(m_workingFolder, systemErrorText(error)));
        }
        return failed(notStarted(error), false);
    }
    // The greeting waits in the pipe: the caller goes on while Wine starts.
    if (const Status written = m_process.write(WineBridgeProtocol::line({"hello"})); !written) {
        const int writeError = written.code();
        return failed(writeError == EPIPE ? QStringLiteral("意外結束") : notStarted(writeError),
                      writeError == EPIPE);
    }
    m_helloPending = true;
    return Status::ok();
}

void WineBridge::stop()
{
    m_process.stop(kStopWaitMs);
    m_helloPending = false;
}

Status WineBridge::failed(const QString& what, bool bridgeEnded, const QByteArray& output)
{
    stop();
    QString details;
    if (!output.isEmpty())
        details = QStringLiteral("它的輸出：\n") + wineMessages(output) + u'\n';
    if (bridgeEnded) {
        const QString exit = m_process.exitDescription();
        const QString errors = wineMessages(m_process.errorOutput(kStderrTail));
        if (!exit.isEmpty())
            details += QStringLiteral("wine 已結束（%1）。").arg(exit);
        if (!errors.isEmpty())
            details += QStringLiteral("\nwine 的訊息：\n") + errors;
    }
    return Status::error(QStringLiteral("Wine 輔助程式 %1（在 Wine 環境「%2」中）%3。"
                                        "請確認 Windows 版程式能在這個 Wine 環境中執行。")
                             .arg(bridgeName(), m_environment.prefix(), what),
                         details.trimmed());
}

Result<QByteArray> WineBridge::readLine(int timeoutMs)
{
    const PipedProcess::Line line = m_process.readLine(timeoutMs);
    if (line.text)
        return *line.text;
    if (line.ended)
        return Result<QByteArray>::error(joined(failed(QStringLiteral("意外結束"), true)));
    if (line.error != 0)
        return Result<QByteArray>::error(failed(systemErrorText(line.error), false).message());
    return Result<QByteArray>::error(
        failed(QStringLiteral("在 %1 秒內沒有回應").arg(timeoutMs / 1000), false).message());
}

Result<WineBridge::Reply> WineBridge::ask(const QStringList& request)
{
    if (Status s = start(); !s)
        return Result<Reply>::error(joined(s));
    if (const Status written = m_process.write(WineBridgeProtocol::line(request)); !written) {
        const int error = written.code();
        return Result<Reply>::error(joined(failed(
            error == EPIPE ? QStringLiteral("意外結束") : systemErrorText(error), error == EPIPE)));
    }
    for (bool greeting = m_helloPending;; greeting = false) {
        const Result<QByteArray> line = readLine(greeting ? kStartTimeoutMs : kReplyTimeoutMs);
        if (!line)
            return Result<Reply>::error(line.status());
        const std::optional<QStringList> fields = WineBridgeProtocol::fields(line.value());
        const QString verb = fields && !fields->isEmpty() ? fields->first() : QString();
        if (greeting) {
            m_helloPending = false;
            if (verb != QLatin1String("ok") || fields->size() < 3 ||
                fields->at(1) != QLatin1String("tevo-winebridge") ||
                fields->at(2) != QLatin1String("1")) {
                // Wine writes why it could not run a program where the answer was awaited.
                QByteArray output = line.value();
                for (PipedProcess::Line more;
                     output.size() < kStderrTail && (more = m_process.readLine(kStopWaitMs)).text;)
                    output += '\n' + *more.text;
                return Result<Reply>::error(joined(
                    failed(QStringLiteral("沒有正確回應：它不是這個版本的 Tevo 所用的輔助程式，"
                                          "或 Wine 無法執行它"),
                           true, output)));
            }
            continue;
        }
        if (verb == QLatin1String("ok"))
            return Reply{false, fields->mid(1)};
        if (verb == QLatin1String("missing"))
            return Reply{true, {}};
        if (verb == QLatin1String("error") && fields->size() == 2)
            return Result<Reply>::error(fields->at(1));
        return Result<Reply>::error(
            failed(
                QStringLiteral("的回應無法理解：%1").arg(QString::fromUtf8(line.value().left(200))),
                false)
                .message());
    }
}

namespace {

QString misunderstood(const QString& verb)
{
    return QStringLiteral("Wine 輔助程式對「%1」的回應無法理解。請重新安裝 tevo-menu 套件。")
        .arg(verb);
}

} // namespace

Result<std::optional<QString>> WineBridge::askForText(const QStringList& request)
{
    const Result<Reply> reply = ask(request);
    if (!reply)
        return Result<std::optional<QString>>::error(reply.status());
    if (reply.value().missing)
        return std::optional<QString>();
    if (reply.value().fields.size() != 1)
        return Result<std::optional<QString>>::error(misunderstood(request.first()));
    return std::optional<QString>(reply.value().fields.first());
}

Result<QString> WineBridge::askForOne(const QStringList& request)
{
    const Result<std::optional<QString>> text = askForText(request);
    if (!text)
        return Result<QString>::error(text.status());
    if (!text.value())
        return Result<QString>::error(misunderstood(request.first()));
    return *text.value();
}

Result<QString> WineBridge::currentFolder()
{
    return askForOne({"cwd"});
}

QString WineBridge::resolveDriveLink(const QString& path) const
{
    const QString devices = m_environment.prefix() + QStringLiteral("/dosdevices/");
    // "…/dosdevices/d:" followed by the end or a slash.
    if (!path.startsWith(devices) || path.size() < devices.size() + 2 ||
        path.at(devices.size() + 1) != u':' ||
        (path.size() > devices.size() + 2 && path.at(devices.size() + 2) != u'/'))
        return path;
    const QString link = path.left(devices.size() + 2);
    const QString target = QFileInfo(link).symLinkTarget();
    if (target.isEmpty())
        return path;
    return QDir::cleanPath(target + u'/' + path.mid(link.size()));
}

Result<QString> WineBridge::unixPath(const QString& windowsPath)
{
    Result<QString> path = askForOne({"unix", windowsPath});
    if (!path)
        return path;
    return resolveDriveLink(path.value());
}

Result<QString> WineBridge::windowsPath(const QString& unixPath)
{
    return askForOne({"windows", unixPath});
}

Result<QString> WineBridge::driveRoot(const QString& windowsPath)
{
    return askForOne({"root", windowsPath});
}

Result<quint32> WineBridge::volumeSerial(const QString& windowsPath)
{
    const Result<QString> hex = askForOne({"serial", windowsPath});
    if (!hex)
        return Result<quint32>::error(hex.status());
    bool ok = false;
    const quint32 serial = hex.value().toUInt(&ok, 16);
    if (!ok || hex.value().size() != 8) {
        return Result<quint32>::error(
            QStringLiteral("Wine 輔助程式回報的磁碟序號「%1」無法理解。").arg(hex.value()));
    }
    return serial;
}

Result<std::optional<QString>> WineBridge::read(const QString& app, const QString& section,
                                                const QString& key)
{
    return askForText({"get", app, section, key});
}

Status WineBridge::write(const QString& app, const QString& section, const QString& key,
                         const QString& value)
{
    return writeAll(app, section, {{key, value}});
}

Status WineBridge::writeAll(const QString& app, const QString& section,
                            const std::vector<std::pair<QString, QString>>& keyValues)
{
    QStringList request{"set", app, section};
    for (const auto& [key, value] : keyValues)
        request << key << value;
    const Result<Reply> reply = ask(request);
    if (!reply)
        return reply.status();
    if (reply.value().missing || !reply.value().fields.isEmpty())
        return Status::error(misunderstood(QStringLiteral("set")));
    return Status::ok();
}

Result<std::vector<std::pair<QString, QString>>> WineBridge::values(const QString& app,
                                                                    const QString& section)
{
    using Values = std::vector<std::pair<QString, QString>>;
    const Result<Reply> reply = ask({"values", app, section});
    if (!reply)
        return Result<Values>::error(reply.status());
    const QStringList& fields = reply.value().fields;
    if (fields.size() % 2 != 0)
        return Result<Values>::error(misunderstood(QStringLiteral("values")));
    Values values;
    for (qsizetype i = 0; i < fields.size(); i += 2)
        values.emplace_back(fields[i], fields[i + 1]);
    return values;
}

Result<std::vector<SettingsStore::Entry>> WineBridge::list(const QString& app)
{
    using Entries = std::vector<SettingsStore::Entry>;
    const Result<Reply> reply = ask({"list", app});
    if (!reply)
        return Result<Entries>::error(reply.status());
    const QStringList& fields = reply.value().fields;
    if (fields.size() % 3 != 0)
        return Result<Entries>::error(misunderstood(QStringLiteral("list")));
    Entries entries;
    for (qsizetype i = 0; i < fields.size(); i += 3)
        entries.push_back({app, fields[i], fields[i + 1], fields[i + 2]});
    return entries;
}

} // namespace tevo
