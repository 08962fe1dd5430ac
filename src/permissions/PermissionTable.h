#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <span>

namespace tevo {

class ProfileFiles;

// One function area of the permission profile: its key and the controls that its refusal
// greys, by design name, the menu entry first.
struct PermissionRow
{
    const char* key;
    const char* menuEntry;
    const char* button; // nullptr when no button leads into the area
};

// The 43 areas in the order in which the profile is asked.
std::span<const PermissionRow> permissionTable();
const PermissionRow* findPermissionRow(const QString& key);

// The profile section of a user level ("第二級" to "第六級" for levels 2 to 6); std::nullopt
// for every other level, which nothing restricts.
std::optional<QString> permissionSection(qint16 userLevel);
// The level whose section this is, by the same rule as the reader compares names; 0 when none.
qint16 levelOfPermissionSection(const QString& section);

// A value as read (at most 199 bytes) forbids its area exactly when, without surrounding
// spaces, it is "NO" in capitals.
bool isRefusal(const QString& value);

// Reads one key afresh, as the menu does (default empty text, 200-byte buffer), and tells
// whether it forbids the area.
bool isAreaForbidden(ProfileFiles& profiles, const QString& file, const QString& section,
                     const QString& key);

} // namespace tevo
