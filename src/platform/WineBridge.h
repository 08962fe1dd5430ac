#pragma once

#include "platform/PipedProcess.h"
#include "platform/Result.h"
#include "platform/SettingsStore.h"
#include "platform/WineEnvironment.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace tevo {

// The menu's questions to Wine, answered by tevo-winebridge.exe, a Windows program that runs
// under Wine as this object's child (`wine tevo-winebridge.exe`, started in the working folder
// with the environment of WineEnvironment::command) and talks over its standard input and output
// (WineBridgeProtocol). One bridge answers every question of a menu run: Wine starts once, and
// while the bridge runs Wine's services stay up, so the suite's Windows programs start warm.
//
// The registry part is the settings store of the suite's Windows programs:
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\APP\SECTION, values REG_SZ, a SECTION
// with backslashes a path of nested keys. Application, section and key compare without regard
// to letter case, as Windows compares registry names. Wine keeps the registry in wineserver's
// memory: a value written here is seen at once by every Windows program of the prefix (the file
// user.reg is saved later, and must never be read or edited instead).
//
// Starting: the first question starts the bridge when it does not run (start() can start it
// earlier without waiting for it). The first answer waits up to kStartTimeoutMs for Wine to come
// up; every later one up to kReplyTimeoutMs. A bridge that ends, breaks the protocol or does not
// answer in time is stopped and the question gets an error; the next question starts a new one.
//
// Errors name what failed and what to do (Wine, prefix or locale missing: WineEnvironment's
// messages). Not thread-safe: one thread asks at a time. Not copyable.
class WineBridge
{
public:
    static constexpr const char* kFileName = "tevo-winebridge.exe";
    static constexpr int kStartTimeoutMs = 60000;
    static constexpr int kReplyTimeoutMs = 15000;

    // The bridge of this installation: beside the running program (/proc/self/exe; the build
    // tree), else in the libexec folder of the installation the running program belongs to
    // (BINDIR/../libexec/tevo/). An error lists the places searched.
    static Result<QString> locate();

    // `workingFolder` is the folder the bridge runs in: its Windows form is currentFolder().
    // `bridgePath` empty: locate() at the first start.
    WineBridge(WineEnvironment environment, QString workingFolder, QString bridgePath = QString());
    ~WineBridge();
    WineBridge(const WineBridge&) = delete;
    WineBridge& operator=(const WineBridge&) = delete;

    // Starts the bridge unless it runs, without waiting for Wine: the error says why it could not
    // be started (bridge missing, Wine, prefix or locale missing, working folder gone).
    Status start();
    // Ends the bridge: closes its input (it ends on its own), then waits a moment and kills it if
    // it has not ended. Also done by the destructor.
    void stop();
    bool isRunning() const { return m_process.isRunning(); }

    // The Windows current folder of a program started in the working folder ("D:\GARVO"): Wine's
    // rule, the deepest drive letter whose folder holds it, else Z:.
    Result<QString> currentFolder();
    // The Unix path of a Windows path. Where the path lies on a drive letter, the prefix's link
    // for that letter is resolved: D:\GARVO gives /srv/garage/GARVO, not the prefix's
    // dosdevices/d:/GARVO. A letter without a link gives a path in dosdevices, which does not
    // exist.
    Result<QString> unixPath(const QString& windowsPath);
    // The Windows path of a Unix path.
    Result<QString> windowsPath(const QString& unixPath);
    // The root of the drive of a Windows path, as Windows resolves "\FILE" from it: "D:\" or
    // "\\server\share\".
    Result<QString> driveRoot(const QString& windowsPath);
    // The volume serial number Wine reports for the drive of a Windows path (for a drive letter
    // mapped to a folder: the hex number in the folder's .windows-serial file, else one Wine
    // makes up from the letter).
    Result<quint32> volumeSerial(const QString& windowsPath);

    // The value, std::nullopt when the key or the value does not exist; an error for a value
    // that is not REG_SZ.
    Result<std::optional<QString>> read(const QString& app, const QString& section,
                                        const QString& key);
    Status write(const QString& app, const QString& section, const QString& key,
                 const QString& value);
    // Several values of one key in one request, written in order; stops at the first failure.
    Status writeAll(const QString& app, const QString& section,
                    const std::vector<std::pair<QString, QString>>& keyValues);
    // The REG_SZ values of one section (empty when it does not exist), in the registry's order.
    Result<std::vector<std::pair<QString, QString>>> values(const QString& app,
                                                            const QString& section);
    // Every REG_SZ value below the application's key, sections as backslash paths relative to
    // it (the entries' app is `app` as given); empty when the application has no key.
    Result<std::vector<SettingsStore::Entry>> list(const QString& app);

private:
    struct Reply
    {
        bool missing = false;
        QStringList fields; // after "ok"
    };

    Result<Reply> ask(const QStringList& request);
    // The one field of an ok reply; nullopt for missing (askForText) or an error (askForOne).
    Result<std::optional<QString>> askForText(const QStringList& request);
    Result<QString> askForOne(const QStringList& request);
    Result<QByteArray> readLine(int timeoutMs);
    // Ends the bridge and returns an error: "the bridge (in prefix P) WHAT", with `output` (what
    // it wrote instead of answering) and, when `bridgeEnded`, how it ended and what Wine wrote on
    // its standard error as details.
    Status failed(const QString& what, bool bridgeEnded, const QByteArray& output = {});
    QString resolveDriveLink(const QString& path) const;

    WineEnvironment m_environment;
    QString m_workingFolder;
    QString m_bridgePath;
    PipedProcess m_process;
    bool m_helloPending = false; // the greeting's answer is still to be read
};

} // namespace tevo
