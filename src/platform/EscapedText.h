#pragma once

#include <QString>
#include <QStringView>

namespace tevo {

// Text made safe to show on a terminal and to keep on one line: tab, CR and LF are written
// `\t`, `\r`, `\n`; every other C0 and C1 control character, DEL, U+2028 and U+2029 is written
// `\uXXXX`. Such characters in a value, a file name or a file's content could otherwise move
// the cursor, retitle or clear the terminal (escape sequences), or pass for further lines.
//
// The settings export writes its fields this way with backslashes doubled, which makes the
// escape reversible; tevo-settings list prints them the same way; the tools' messages, which
// quote names and file content as they came, keep backslashes (a Windows folder in a message
// must read as the user types it).
namespace EscapedText {

enum class Backslash
{
    Kept,
    Doubled
};
enum class FinalBlank
{
    Kept,
    Escaped // a blank that ends the text is written `\uXXXX` too (an editor may drop it)
};

// True for the characters written as an escape, backslash aside.
bool isControl(char16_t c);
QString escape(QStringView text, Backslash backslash = Backslash::Kept,
               FinalBlank finalBlank = FinalBlank::Kept);

} // namespace EscapedText

} // namespace tevo
