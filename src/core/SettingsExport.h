#pragma once

#include "platform/Result.h"
#include "platform/SettingsStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace tevo {

// The settings tool's own export format, version 1: UTF-8 text, a header line, then one value a
// line as four fields separated by tabs:
//
//   tevo-settings export 1
//   APP<TAB>SECTION<TAB>KEY<TAB>VALUE
//
// Inside a field, `\` is written `\\`, tab `\t`, CR `\r`, LF `\n`; every other control character
// (U+0000 to U+001F, U+007F to U+009F), the Unicode line and paragraph separators and a blank
// character that ends a line are written `\uXXXX`. So every value is exactly one line of exactly
// four fields, whatever it holds, and an editor that drops blanks at line ends cannot change a
// value without the line being refused. Everything else is written as it is, names with the
// spelling they were first written with.
//
// Reading is strict: the header must name version 1; blank lines are skipped; a CR before the LF
// is part of the line end; any other line that does not have that form refuses the whole file,
// with its line number in the message.
namespace SettingsExport {

// True when the first line names this format (any version): the file is ours.
bool recognises(QByteArrayView bytes);
QByteArray write(const std::vector<SettingsStore::Entry>& entries);
Result<std::vector<SettingsStore::Entry>> read(QByteArrayView bytes);

// One entry as a line of the format, without the line end.
QString line(const SettingsStore::Entry& entry);

} // namespace SettingsExport

} // namespace tevo
