#pragma once

#include "platform/ProcessStarter.h"
#include "platform/WineEnvironment.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace tevo {

// Starts the suite's programs with fork and exec, detached (see DetachedProcess). A bare file
// name is searched in the folder of the running program, then the working directory, then the
// folders of PATH; in each folder the exact name first, then a name that differs only in case.
// A program that is not found is reported by its name and the working directory (the suite's
// folder, where it belongs), with every folder searched as the error's details. Folders and
// paths are searched and started as the system spells them (bytes, whatever their encoding).
//
// A program that is a Windows executable (isWindowsExecutable) is started under Wine, whatever
// the installation: `wine PROGRAM` in the working directory with the environment of
// WineEnvironment::command (prefix, locale, PWD). Without Wine, its prefix or its locale the
// start fails with WineEnvironment's message, and nothing is started.
class PosixProcessStarter : public ProcessStarter
{
public:
    explicit PosixProcessStarter(WineEnvironment wine = WineEnvironment());

    Status start(const QString& program) override;
    Status startBeforeEnding(const QString& program) override;

    // The folders searched, in order. An empty entry of `pathVariable` stands for the working
    // directory, as it does for the shell; an unset PATH (null) means /usr/bin and /bin.
    static QList<QByteArray> searchFolders(const QByteArray& programFolder,
                                           const QByteArray& workingDirectory,
                                           const QByteArray& pathVariable);
    // The first file (not folder) named `name` in `folders`, or nullopt.
    static std::optional<QByteArray> locate(const QString& name, const QList<QByteArray>& folders);
    // The folder of the running executable (/proc/self/exe).
    static QByteArray programFolder();
    // The file a start of `program` (a bare file name) would run, searched as start() searches
    // it with this process's PATH and working directory; nullopt when there is none.
    static std::optional<QByteArray> find(const QString& program);

private:
    Status launch(const QString& program, bool asChild);

    WineEnvironment m_wine;
};

} // namespace tevo
