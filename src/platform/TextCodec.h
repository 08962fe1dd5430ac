#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace tevo {

// Text in code page 950 (Big5, the suite's ANSI code page) and UTF-8, converted with glibc
// iconv. Code page 950 uses one byte for ASCII and two bytes for every other character; the
// second byte of a pair may be an ASCII letter, `[`, `\`, `]` and more, so text must be
// decoded before anything looks for those characters in it.
namespace TextCodec {

// Decodes code page 950. Every byte that does not start a character (a lone lead byte, a
// pair with no character, 0xFF) becomes one U+FFFD; decoding resumes at the next byte, so
// line ends and ASCII after a damaged pair survive.
QString decodeCp950(QByteArrayView bytes);
// std::nullopt when some character has no code page 950 form.
std::optional<QByteArray> encodeCp950(QStringView text);
// True when every byte belongs to a code page 950 character.
bool isValidCp950(QByteArrayView bytes);

// Decodes UTF-8 exactly: a leading U+FEFF stays a character (QString::fromUtf8 drops it as
// a byte-order mark, which loses the first character of a value that starts with it).
QString decodeUtf8(QByteArrayView bytes);
// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(QByteArrayView bytes);
bool hasUtf8Bom(QByteArrayView bytes);
// A file is read as UTF-8 when it starts with the byte-order mark or is valid UTF-8 whole.
bool isUtf8Text(QByteArrayView bytes);

// Bytes the character takes in code page 950: 1 for ASCII, 2 for a Big5 character, and 1
// for a character without a code page 950 form (the ANSI conversion writes "?" for it).
int cp950Length(char32_t codePoint);
// The longest start of `text` that fits in maxBytes bytes of code page 950, never splitting
// a character.
QString cutToCp950Bytes(const QString& text, qsizetype maxBytes);

} // namespace TextCodec

} // namespace tevo
