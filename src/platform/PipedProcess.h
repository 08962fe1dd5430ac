#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>
#include <sys/types.h>

namespace tevo {

// A child program that this process talks to line by line: its standard input and output are
// pipes held here, its standard error an anonymous file that is read only when something went
// wrong (so nothing has to drain it while the child runs). Started with posix_spawn, no shell in
// between, with default signal handling and no other descriptor of this process. The child stays
// in this process's session and process group, and ends when its input closes (stop(), or the end
// of this process). Not copyable; one thread at a time.
class PipedProcess
{
public:
    PipedProcess() = default;
    ~PipedProcess();
    PipedProcess(const PipedProcess&) = delete;
    PipedProcess& operator=(const PipedProcess&) = delete;

    // Runs `program` with `arguments` as its argv, exactly `environment` (NAME=value) as its
    // environment, in `workingFolder`. Ok, or an error whose code() is the errno of what failed
    // (a missing working folder gives ENOENT). Any earlier child must have been stopped.
    Status start(const QByteArray& program, const QList<QByteArray>& arguments,
                 const QList<QByteArray>& environment, const QByteArray& workingFolder);
    bool isRunning() const { return m_pid > 0; }

    // Writes all of `bytes` to the child's input: ok, or an error whose code() is the errno
    // (EPIPE when the child has ended; the SIGPIPE that would end this process is blocked for
    // the write and taken back).
    Status write(QByteArrayView bytes);

    struct Line
    {
        std::optional<QByteArray> text; // the line without its LF
        bool ended = false;             // the child closed its output (it has ended)
        int error = 0;                  // errno of a failed read
        // None of these: no line within the time-out.
    };
    // The next line of the child's output, waiting at most `timeoutMs`.
    Line readLine(int timeoutMs);

    // Closes the child's input and waits up to `waitMs` for it to end, then kills it. Keeps what
    // it wrote on its standard error until the next start().
    void stop(int waitMs);

    // How the last child ended ("結束代碼 1", "被訊號 9 終止"), empty while it runs or unknown.
    QString exitDescription() const;
    // The end of what the last child wrote on its standard error, at most `maxBytes`.
    QByteArray errorOutput(qint64 maxBytes) const;

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    int m_errors = -1;
    int m_exitStatus = -1;
    QByteArray m_received;
};

} // namespace tevo
