#pragma once

#include <QString>

namespace tevo {

// Every address the menu contacts or hands to the browser. The scheme and path are fixed here;
// a host is a checked `host[:port]` (HostConfig), so a value appended to a query can never change
// which host or which page is reached.

// A value as it is appended to a query: trimmed of spaces and sent as it is, never escaped, as
// the vendor's pages read it. It comes after the fixed host and path, so it cannot change them.
QString queryValue(const QString& text);

// Version fetch on the vendor service server.
QString versionFetchAddress(const QString& serviceHost);
// Notice fetch: the first character of the trimmed customer code, nothing when it is empty.
QString noticeFetchAddress(const QString& serviceHost, const QString& customerCode);
// The setup program on the vendor download server.
QString setupProgramAddress(const QString& downloadHost);
// The root of the licensing office's site.
QString licensingSiteAddress(const QString& licensingHost);

// Path and query of an identity-bearing web shortcut ("bbvg", "trvzn"), up to the customer code;
// nullptr for any other entry.
const char* identityShortcutPath(const QString& entryName);
// The page of an identity-bearing shortcut: host, path, customer code, "&DC2A=", system number.
QString identityShortcutAddress(const QString& serviceHost, const char* pathAndQuery,
                                const QString& customerCode, const QString& systemNumber);

} // namespace tevo
