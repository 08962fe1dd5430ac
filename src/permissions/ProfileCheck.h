#pragma once

#include <QString>

#include <vector>

namespace tevo {

class ProfileDocument;

// Something in a permission profile that does not do what its writer most likely meant.
struct ProfileFinding
{
    int line; // 1-based; 0 for the file as a whole
    QString message;
};

// Checks a permission profile as the menu reads it: text that is neither code page 950 nor
// UTF-8, lines outside any section, sections that are not a user level, repeated sections and
// keys (only the first counts), keys that are not a function area, keys without a value, level
// sections that lack keys, and values that look like a refusal but allow. Ordered by line; the
// lacking keys of a section are reported at its header.
std::vector<ProfileFinding> checkPermissionProfile(const ProfileDocument& profile);

// True for values a person would read as "NO" ("no", "N0", "NO.", "ＮＯ", "NO ;comment", ...).
// Whether the menu takes it as a refusal is isRefusal's answer, not this one.
bool looksLikeRefusal(const QString& writtenValue);

} // namespace tevo
