#include "core/SectionMap.h"

namespace tevo {

bool SectionMap::isWindowsPath(const QString& section)
{
    const bool driveLetter =
        section.size() >= 2 && section[1] == u':' &&
        ((section[0] >= u'A' && section[0] <= u'Z') || (section[0] >= u'a' && section[0] <= u'z'));
    return driveLetter || section.startsWith(QLatin1String("\\\\"));
}

Status SectionMap::add(const QString& rule)
{
    const qsizetype equals = rule.indexOf(u'=');
    if (equals <= 0 || equals == rule.size() - 1)
        return Status::error(QStringLiteral("--map 須寫成「舊資料夾=新資料夾」：%1").arg(rule));
    Rule parsed{rule.first(equals), rule.sliced(equals + 1), false};
    if (isWindowsPath(parsed.to))
        return Status::error(
            QStringLiteral("--map 的新資料夾「%1」是 Windows 路徑，須為 Linux 資料夾")
                .arg(parsed.to));
    parsed.windows = isWindowsPath(parsed.from);
    m_rules.push_back(std::move(parsed));
    return Status::ok();
}

// The part of `section` after the rule's OLD, or nullopt when the section is not OLD or below it.
std::optional<QString> SectionMap::rest(const Rule& rule, const QString& section)
{
    if (section.size() < rule.from.size())
        return std::nullopt;
    const Qt::CaseSensitivity cs = rule.windows ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (QStringView(section).first(rule.from.size()).compare(rule.from, cs) != 0)
        return std::nullopt;
    QString rest = section.sliced(rule.from.size());
    const auto isSeparator = [&](QChar c) { return c == u'/' || (rule.windows && c == u'\\'); };
    // OLD "C:\" or "/srv/" is already followed by its separator.
    const bool below = rule.from.isEmpty() || isSeparator(rule.from.back()) || rest.isEmpty() ||
                       isSeparator(rest.front());
    if (!below)
        return std::nullopt;
    if (rule.windows)
        rest.replace(u'\\', u'/');
    return rest;
}

std::optional<QString> SectionMap::map(const QString& section) const
{
    const Rule* best = nullptr;
    QString bestRest;
    for (const Rule& rule : m_rules) {
        if (best && rule.from.size() <= best->from.size())
            continue;
        if (std::optional<QString> r = rest(rule, section)) {
            best = &rule;
            bestRest = *r;
        }
    }
    if (!best)
        return std::nullopt;
    QString mapped = best->to;
    if (bestRest.isEmpty())
        return mapped;
    const bool toEnds = mapped.endsWith(u'/');
    const bool restStarts = bestRest.startsWith(u'/');
    if (toEnds && restStarts)
        mapped.chop(1);
    else if (!toEnds && !restStarts)
        mapped += u'/';
    return mapped + bestRest;
}

} // namespace tevo
