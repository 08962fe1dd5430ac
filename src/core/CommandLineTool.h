#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace tevo {

// Writes `text` to `stream` as UTF-8, the encoding of every tool's output, or `bytes` as they
// are. The reason of a failed write to standard output is kept for runCommandLineTool().
void writeUtf8(FILE* stream, const QString& text);
void writeBytes(FILE* stream, QByteArrayView bytes);
// Writes a message and a line end, with every control character in it escaped (EscapedText,
// backslashes kept): messages quote file names, file content and values as they came, which
// must neither act on the terminal nor pass for further lines.
void writeMessage(FILE* stream, const QString& message);

// The main() of a command-line tool: passes the arguments after the program name, decoded as UTF-8
// (a leading U+FEFF kept), to `run` and returns its exit status, unless standard output could not
// be written (a full disk, a closed pipe): then `cannotWrite`, with the reason of the first write
// that failed, goes to standard error as a line and the status is 2, the tools' status for a
// failure, so that lost output never reads as success.
int runCommandLineTool(int argc, char** argv, int (*run)(const QStringList& arguments),
                       const char* cannotWrite);

} // namespace tevo
