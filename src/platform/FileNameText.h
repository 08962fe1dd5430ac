#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace tevo {

// File names are bytes to the system; these say how one reads as text. File operations always
// use the bytes: the text of a name that is not UTF-8 names another file, or none, when Qt
// encodes it back.
namespace FileNameText {

// The name as text: UTF-8 when it is valid UTF-8, else code page 950 when every byte belongs
// to a character of it (the suite's own code page: a folder named on a Windows share), else
// nullopt.
std::optional<QString> decode(QByteArrayView name);
// The name for a message, whatever its bytes: UTF-8 characters as they are, except that
// every control character (C0, DEL, C1) and every byte that is not part of a UTF-8
// character is written as \xNN (one for each byte), and a backslash as \\.
QString escaped(QByteArrayView name);
// decode() where the name reads as text, else escaped().
QString forMessage(QByteArrayView name);

} // namespace FileNameText

} // namespace tevo
