#pragma once

#include "platform/ProcessStarter.h"

#include <QStringList>

#include <optional>

namespace tevo {

// Starts the suite's programs with fork and exec, detached (see DetachedProcess). A bare file
// name is searched in the folder of the running program, then the working directory, then the
// folders of PATH; in each folder the exact name first, then a name that differs only in case.
// A program that is not found is reported by its name and the working directory (the suite's
// folder, where it belongs), with every folder searched as the error's details.
class PosixProcessStarter : public ProcessStarter
{
public:
    Status start(const QString& program) override;
    Status startBeforeEnding(const QString& program) override;

    // The folders searched, in order. An empty entry of `pathVariable` stands for the working
    // directory, as it does for the shell; an unset PATH (null) means /usr/bin and /bin.
    static QStringList searchFolders(const QString& programFolder, const QString& workingDirectory,
                                     const QString& pathVariable);
    // The first file (not folder) named `name` in `folders`, or nullopt.
    static std::optional<QString> locate(const QString& name, const QStringList& folders);
    // The folder of the running executable (/proc/self/exe).
    static QString programFolder();

private:
    static Status launch(const QString& program, bool asChild);
};

} // namespace tevo
