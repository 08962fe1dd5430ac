#include "core/SectionMap.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

TEST(SectionMap, RewritesTheFolderAndWhatIsBelowIt)
{
    SectionMap map;
    for (const char* rule : {"C:\\GARVO=/srv/garage/suite", "c:\\garvo\\old=/srv/old/",
                             "/home/a=/srv/a", "\\\\server\\share=/mnt/share"})
        ASSERT_TRUE(map.add(QString::fromUtf8(rule))) << rule;
    const struct
    {
        const char* section;
        const char* mapped; // nullptr: no rule applies
    } cases[] = {
        {"C:\\GARVO", "/srv/garage/suite"},
        {"c:\\Garvo\\sub\\x", "/srv/garage/suite/sub/x"},
        {"C:\\GARVO/sub", "/srv/garage/suite/sub"},
        {"C:\\GARVO2", nullptr},
        {"C:\\GARVO\\OLD\\y", "/srv/old/y"}, // the longest OLD wins
        {"D:\\GARVO", nullptr},
        {"/home/a", "/srv/a"},
        {"/home/a/b\\c", "/srv/a/b\\c"},
        {"/home/A", nullptr},
        {"/home/a\\b", nullptr},
        {"\\\\SERVER\\Share\\保養", "/mnt/share/保養"},
    };
    for (const auto& row : cases) {
        const std::optional<QString> mapped = map.map(QString::fromUtf8(row.section));
        EXPECT_EQ(mapped.has_value(), row.mapped != nullptr) << row.section;
        if (mapped && row.mapped) {
            EXPECT_EQ(*mapped, QString::fromUtf8(row.mapped)) << row.section;
        }
    }
    for (const char* rule : {"=/srv", "C:\\x=", "C:\\a=D:\\b", "no-equals"})
        EXPECT_FALSE(map.add(QString::fromUtf8(rule))) << rule;
}

} // namespace
} // namespace tevo
