#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace tevo {

// Everything needed to run a Windows program under Wine with posix_spawn or execve: no shell in
// between, nothing left to look up.
struct WineCommand
{
    QByteArray program;            // the absolute path of `wine`
    QList<QByteArray> arguments;   // argv: "wine", the Windows program, then its arguments
    QList<QByteArray> environment; // the whole environment, NAME=value
    QByteArray workingFolder;      // the folder to start in; PWD names it too
};

// How the suite's Windows programs run on this machine: in Wine's prefix ($WINEPREFIX, else
// ~/.wine), under the zh_TW.UTF-8 locale (which gives them code page 950, the suite's ANSI code
// page; under C or C.UTF-8 their ANSI text turns into "????"), started with `wine` from PATH.
//
// Nothing here changes the machine: a missing prefix, locale or Wine is an error whose message
// names what is missing and the command that provides it. The menu never creates a prefix
// itself: that is the workshop's choice of where the suite's Windows programs live.
class WineEnvironment
{
public:
    // The locale Windows programs run under, whatever the desktop's.
    static constexpr const char* kLocale = "zh_TW.UTF-8";

    // Reads WINEPREFIX, HOME, PATH and WINEDEBUG from `environment`, which the started programs
    // inherit with the changes of command().
    explicit WineEnvironment(
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());

    // $WINEPREFIX when set and not empty, else $HOME/.wine (without a trailing slash); empty
    // when neither is known.
    QString prefix() const;
    // Ok when the prefix is an absolute path to a folder that holds system.reg (a prefix that
    // Wine has set up), else an error naming the prefix and the command that creates it.
    Status checkPrefix() const;
    // Ok when zh_TW.UTF-8 can be loaded on this machine (by this process's LOCPATH and locale
    // archive, which the started programs share), else an error saying how to generate it.
    static Status checkLocale();
    // The absolute path of `wine` from the folders of PATH (empty entries, which would mean the
    // working folder, are skipped), or an error naming the Debian package to install. `forProgram`
    // is named in the message as the program that needs Wine.
    Result<QString> wineProgram(const QString& forProgram) const;

    // The command that runs `windowsProgram` (a Unix path, or a file name that Wine finds) with
    // `arguments` in `workingFolder`: after the checks above (Wine, prefix, locale, in this
    // order, the first failure returned), the environment gets WINEPREFIX (the prefix, always
    // absolute), LANG and LC_ALL (zh_TW.UTF-8), PWD (the working folder: Wine takes the Windows
    // current folder from it, keeping symbolic links, when it names the folder the program runs
    // in) and WINEDEBUG=-all unless the environment sets WINEDEBUG (support staff may trace a
    // program so).
    Result<WineCommand> command(const QString& windowsProgram, const QStringList& arguments,
                                const QString& workingFolder) const;

private:
    QProcessEnvironment m_environment;
};

} // namespace tevo
