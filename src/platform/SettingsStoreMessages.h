#pragma once

#include "platform/SqliteDatabase.h"

#include <QString>

namespace tevo {

// The messages of the settings store, for a workshop user: each names the store file, says what
// went wrong in plain words and what to do about it. SQLite's own description follows in
// parentheses for support staff.
namespace SettingsStoreMessages {

// The file or its folder could not be created (`error` is an errno value).
QString cannotCreate(const QString& path, int error);
// A symbolic link stands where the store file or its folder (`isFolder`) should be.
QString isLink(const QString& path, bool isFolder);
// The store file or its folder (`isFolder`) belongs to the user named `owner`.
QString ofAnotherUser(const QString& path, bool isFolder, const QString& owner);
// The file exists but cannot be opened for reading.
QString cannotRead(const QString& path, int error);
QString readFailed(const QString& path, const Status& failure);
QString writeFailed(const QString& path, const Status& failure);
// A folder (`isFolder`), a device or a named pipe lies where the store file should be.
QString notAFile(const QString& path, bool isFolder);
// A database of another program lies where the store should be.
QString notAStore(const QString& path);
// The store can be read but not written (read-only file or folder).
QString readOnly(const QString& path);

} // namespace SettingsStoreMessages

} // namespace tevo
