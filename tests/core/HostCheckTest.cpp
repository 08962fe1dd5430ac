#include "core/HostCheck.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

TEST(HostCheck, WorkingDirectoryMustEqualTheTrimmedHostDirectory)
{
    const struct
    {
        const char* host;
        const char* workingDirectory;
        bool expected;
    } cases[] = {
        {"/srv/garage/suite", "/srv/garage/suite", true},
        {"/srv/garage/suite   ", "/srv/garage/suite", true},
        {"  /srv/garage/suite", "/srv/garage/suite", true},
        {"/srv/Garage/suite", "/srv/garage/suite", false},
        {"/srv/garage/suite/", "/srv/garage/suite", false},
        {"\t/srv/garage/suite", "/srv/garage/suite", false},
        {"/srv/garage/suite", "/srv/garage/suite ", false},
        {"", "", false},
        {"   ", "", false},
        {"", "/srv/garage/suite", false},
    };
    for (const auto& row : cases)
        EXPECT_EQ(
            isHostWorkstation(QString::fromUtf8(row.host), QString::fromUtf8(row.workingDirectory)),
            row.expected)
            << '"' << row.host << "\" in \"" << row.workingDirectory << '"';
}

} // namespace
} // namespace tevo
