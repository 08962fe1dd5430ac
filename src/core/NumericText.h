#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace tevo {

// The numeric value at the start of a text, as settings are read "as a number": blanks (space,
// tab, line feed, carriage return) are skipped anywhere, also between digits; an optional sign,
// digits, one decimal point and an exponent (E or D) are taken; "&H" and "&O" introduce
// hexadecimal and octal whole numbers. Reading stops at the first character that cannot
// continue the number. Text without a leading number gives 0.
double leadingNumber(const QString& text);

// Rounds to the nearest integer, halves to the even neighbour. std::nullopt when the result
// does not fit in a signed 16-bit integer (or is not finite).
std::optional<qint16> roundToInt16(double value);
std::optional<qint32> roundToInt32(double value);

// The user level of login key "AAA": a text whose value lies outside the 16-bit range counts as
// level 0, no restriction.
qint16 userLevelFromText(const QString& text);

// Trims the ordinary space (U+0020) only, at both ends.
QString trimSpaces(const QString& text);

} // namespace tevo
