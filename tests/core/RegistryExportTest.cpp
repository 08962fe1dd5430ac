#include "core/RegistryExport.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

// What a registry export holds besides the suite's string values, and how each is taken.
TEST(RegistryExport, SkipsWhatIsNotASettingAndRefusesWhatCannotBeOne)
{
    const QByteArray key =
        "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\kelpan\\C:\\G]\n";
    const struct
    {
        QByteArray lines;   // after the header and the key above
        const char* values; // "key=value;" for each value read; nullptr: refused
    } cases[] = {
        {"\"a\"=\"1\"\n; a comment\n\"b\"=\"x=\\\"y\\\"\"\n", "a=1;b=x=\"y\";"},
        {"@=hex:01,02,\\\n  03\n\"a\"=\"\"\n", "a=;"},
        {"[HKEY_CURRENT_USER\\Software\\Other]\n\"n\"=hex(2):41,\\\n  00\nnot a line\n", ""},
        {"[hkey_current_user\\software\\vb and vba program settings\\EEYX\\C:]\n\"a\"=\"v\"\n",
         "a=v;"},
        {"\"a\"=\"tab\there\" \t\n", "a=tab\there;"},
        {"\"a\"=hex(1):41,00\n", nullptr},
        {"\"a\"=-\n", nullptr},
        {"[-HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\kelpan\\C:\\G]\n", nullptr},
        {"[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\kelpan]\n\"a\"=\"1\"\n",
         nullptr},
        {"\"a\"=\"C:\\GARVO\"\n", nullptr},
        {"\"a\" = \"1\"\n", nullptr},
    };
    for (const auto& row : cases) {
        const QByteArray file = "Windows Registry Editor Version 5.00\n\n" + key + row.lines;
        const auto parsed = RegistryExport::parse(file);
        EXPECT_EQ(parsed.isOk(), row.values != nullptr) << file.toStdString() << parsed.error();
        if (!parsed || !row.values)
            continue;
        QString values;
        for (const SettingsStore::Entry& entry : parsed.value())
            values += entry.key + u'=' + entry.value + u';';
        EXPECT_EQ(values, QString::fromUtf8(row.values)) << file.toStdString();
    }
}

} // namespace
} // namespace tevo
