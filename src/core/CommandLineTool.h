#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

namespace tevo {

// Writes `text` to `stream` as UTF-8, the encoding of every tool's output.
void writeUtf8(FILE* stream, const QString& text);

// The main() of a command-line tool: passes the arguments after the program name, decoded as UTF-8
// (a leading U+FEFF kept), to `run` and returns its exit status, unless standard output could not
// be written (a full disk, a closed pipe): then `cannotWrite`, with the reason when the failed
// write left one, goes to standard error as a line and the status is 2, the tools' status for a
// failure, so that lost output never reads as success.
int runCommandLineTool(int argc, char** argv, int (*run)(const QStringList& arguments),
                       const char* cannotWrite);

} // namespace tevo
