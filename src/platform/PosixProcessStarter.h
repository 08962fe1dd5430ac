#pragma once

#include "platform/ProcessStarter.h"

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
class PosixProcessStarter : public ProcessStarter
{
public:
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

private:
    static Status launch(const QString& program, bool asChild);
};

} // namespace tevo
