#pragma once

#include "platform/Result.h"
#include "platform/SqliteDatabase.h"

#include <memory>

namespace tevo {

// Opens the settings database file without ever damaging it. The file and its folder are
// created when missing (modes 0600 and 0700). Both must be the user's own: a symbolic link in
// place of either, or either belonging to another user, is refused and left as it is; a folder
// of the user's that others may write to is made private (0700) first. An existing file is first
// opened for reading only and checked (integrity, and the application id that marks it as the
// settings store); a damaged file or another program's database is reported and left exactly as it
// was. Only then, and only when file and folder are writable, is it opened for writing, switched to
// the WAL journal with full sync and, when empty, given the table
//   settings(app_folded, section, key_folded, app, key, value),
// keyed by (app_folded, section, key_folded). Otherwise the checked read-only connection is
// kept.
namespace SettingsDatabaseFile {

struct Opened
{
    std::unique_ptr<SqliteDatabase> database;
    bool hasTable = false; // false only for an empty database that cannot be written
};

// `absolutePath` is the database file; errors are messages for the user that name it.
Result<Opened> open(const QString& absolutePath);

} // namespace SettingsDatabaseFile

} // namespace tevo
