#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <optional>

namespace tevo {

// The lines that the menu and tevo-winebridge.exe exchange: UTF-8 text ending in LF, fields
// separated by TAB; inside a field, backslash, TAB, CR and LF are written \\, \t, \r and \n, and
// no other escape exists. Each request line gets one reply line: "ok" and the answer's fields,
// "missing", or "error" and a message for a person. The requests are described at the top of
// wine/WineBridge.cpp, the bridge's source.
namespace WineBridgeProtocol {

// One line with its LF.
QByteArray line(const QStringList& fields);
// The fields of a line given without its LF; nullopt when a backslash starts no known escape
// or the text is not valid UTF-8.
std::optional<QStringList> fields(QByteArrayView line);

} // namespace WineBridgeProtocol

} // namespace tevo
