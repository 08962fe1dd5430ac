#include "resources/StringTable.h"

namespace tevo {

QString loadString(StringId id)
{
    const auto entry = std::ranges::lower_bound(kStrings, id.number(), {}, &StringEntry::id);
    // Every identifier but none is in the table (StringId checks it when it is made).
    return entry != kStrings.end() && entry->id == id.number() ? QString::fromUtf8(entry->text)
                                                               : QString();
}

} // namespace tevo
