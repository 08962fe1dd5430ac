#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace tevo {

// Starts programs detached from the caller, never through a shell: the program runs in a session
// of its own, in the caller's working directory and environment (unless a Setting says
// otherwise), with every signal at its default and none blocked (whatever the caller ignores or
// blocks), and only standard input, output and error of the caller's descriptors. Both calls
// start it with posix_spawn().
namespace DetachedProcess {

// How a program may differ from the caller: its whole environment (NAME=value) and the folder
// it starts in. The defaults are the caller's.
struct Setting
{
    std::optional<QList<QByteArray>> environment;
    QByteArray workingFolder; // empty: the caller's working directory
};

// Runs the file `path` with `arguments` as its argv (argv[0] first). The program is not the
// caller's child (an intermediate process that starts it and ends at once is reaped here), so
// it outlives the caller and never becomes a zombie. Ok once the program has been executed, or
// an error whose code() is the errno of what failed: fork, or the exec itself (missing file, no
// execute permission, not an executable format), carried back through a pipe.
Status start(const QByteArray& path, const QList<QByteArray>& arguments,
             const Setting& setting = {});
// Runs the program the same way, but as the caller's child: no copy of the caller's memory
// is made, so it begins sooner. For a caller that ends right after; one that stays would
// leave the program a zombie when it ends. Ok, or an error whose code() is the errno.
Status startAsChild(const QByteArray& path, const QList<QByteArray>& arguments,
                    const Setting& setting = {});

} // namespace DetachedProcess

} // namespace tevo
