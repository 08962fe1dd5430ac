#pragma once

#include "platform/Result.h"

#include <QString>

#include <optional>
#include <vector>

namespace tevo {

// Rules that rewrite the section (folder) of imported values: OLD=NEW turns a section equal to
// OLD, or below it, into NEW followed by the rest of the path.
//
// A Windows OLD (a drive letter and colon, or a \\server path) compares without regard to letter
// case, as Windows does; below it means OLD followed by \ or /, and the rest of the path has its
// \ turned into /. Any other OLD is a Linux folder: it compares exactly, below it means OLD
// followed by /, and the rest stays as it is (a backslash is part of a Linux file name). When
// several rules apply, the longest OLD wins.
class SectionMap
{
public:
    // Adds a rule written OLD=NEW (split at the first "="). Refused when either side is empty
    // or NEW is a Windows path: mapped values must land in a Linux folder.
    Status add(const QString& rule);
    // The rewritten section, or nullopt when no rule applies.
    std::optional<QString> map(const QString& section) const;

    static bool isWindowsPath(const QString& section);

private:
    struct Rule
    {
        QString from;
        QString to;
        bool windows;
    };
    static std::optional<QString> rest(const Rule& rule, const QString& section);

    std::vector<Rule> m_rules;
};

} // namespace tevo
