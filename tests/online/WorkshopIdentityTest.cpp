#include "online/WorkshopIdentity.h"
#include "online/SystemNumber.h"
#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

TEST(SystemNumber, SignedDecimalWithoutTheMinusSign)
{
    const struct
    {
        quint32 serialBits;
        const char* expected;
    } cases[] = {
        {0x1234ABCDu, "305441741"},  {0u, "0"},
        {0x7FFFFFFFu, "2147483647"}, {0x80000000u, "2147483648"},
        {0xFFFFFFFFu, "1"},          {0xC3A1B2D4u, "1012813100"}, // never 3282154196
    };
    for (const auto& row : cases) {
        EXPECT_EQ(systemNumberFromSerial(static_cast<qint32>(row.serialBits)), row.expected)
            << std::hex << row.serialBits;
    }
}

TEST(WorkshopIdentity, LoadsTheFieldsOfTheWorkingDirectoryAsStored)
{
    test::FakePlatform fake;
    const QString here = fake.workingDirectory.path;
    fake.store.set("KELPAN", here, "公司名稱", "   ");
    fake.store.set("KELPAN", here, "聯絡人", " 王 先生 ");
    fake.store.set("KELPAN", here, "經銷商", "北區");
    fake.store.set("kelpan", here, "YHYC", "  A 12 ");
    fake.store.set("KELPAN", "/other/install", "YHYC", "B99");

    Result<WorkshopIdentity> id = LoadWorkshopIdentity(fake.store, fake.workingDirectory);
    ASSERT_TRUE(id.isOk());
    EXPECT_EQ(id.value().companyName, QStringLiteral("   "));
    EXPECT_EQ(id.value().contactPerson, QStringLiteral(" 王 先生 "));
    EXPECT_EQ(id.value().dealer, QStringLiteral("北區"));
    EXPECT_EQ(id.value().customerCode, QStringLiteral("A 12"));
    EXPECT_FALSE(id.value().isComplete());

    fake.workingDirectory.path = "/other/install";
    id = LoadWorkshopIdentity(fake.store, fake.workingDirectory);
    ASSERT_TRUE(id.isOk());
    EXPECT_EQ(id.value().customerCode, QStringLiteral("B99"));
    EXPECT_EQ(id.value().contactPerson, QString());

    fake.store.failReads = true;
    EXPECT_FALSE(LoadWorkshopIdentity(fake.store, fake.workingDirectory).isOk());
}

TEST(WorkshopIdentity, CompleteWhenTheFourContactFieldsHoldMoreThanSpaces)
{
    const struct
    {
        const char* label;
        QString WorkshopIdentity::*field;
        const char* value;
        bool complete;
    } cases[] = {
        {"company name blank", &WorkshopIdentity::companyName, "   ", false},
        {"address empty", &WorkshopIdentity::address, "", false},
        {"contact person blank", &WorkshopIdentity::contactPerson, " ", false},
        {"telephone empty", &WorkshopIdentity::telephone, "", false},
        {"ideographic space is text", &WorkshopIdentity::telephone, "　", true},
        {"customer code not needed", &WorkshopIdentity::customerCode, "", true},
        {"fax not needed", &WorkshopIdentity::fax, "", true},
    };
    for (const auto& row : cases) {
        WorkshopIdentity id{"大發", "台北", "", "", "", "02-1", "9", "e", "", "王", "", "A1"};
        id.*row.field = QString::fromUtf8(row.value);
        EXPECT_EQ(id.isComplete(), row.complete) << row.label;
    }
}

} // namespace
} // namespace tevo
