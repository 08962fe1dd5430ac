#include "core/NumericText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tevo {
namespace {

TEST(NumericText, LeadingNumberAsSettingsAreRead)
{
    const struct
    {
        const char* text;
        double expected;
    } cases[] = {
        // clang-format off
        {"", 0},          {"abc", 0},          {"3", 3},          {"  3", 3},
        {"1 2 3", 123},   {"\t4\n5", 45},      {"2.5", 2.5},      {"-3", -3},
        {"+4", 4},        {"- 7", -7},         {"12abc", 12},     {"1.2.3", 1.2},
        {".5", 0.5},      {".", 0},            {"-", 0},          {"1e3", 1000},
        {"1D2", 100},     {"1e", 1},           {"2E-1", 0.2},     {"&H10", 16},
        {"&hff", 255},    {"&HFFFF", -1},      {"&O17", 15},      {"&X1", 0},
        {"3級", 3},       {"\r3", 0},          {"0x10", 0},       {"1,000", 1},
        {"3.5E+0000000000002", 350},          {"1E-000000000001", 0.1},
        {"1e0000000000400", HUGE_VAL},
        // clang-format on
    };
    for (const auto& row : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(row.text)), row.expected) << row.text;
}

TEST(NumericText, UserLevelRoundsHalvesToEvenAndFitsSixteenBits)
{
    const struct
    {
        const char* text;
        qint16 expected;
    } cases[] = {
        {"", 0},        {"1", 1},     {"2", 2},
        {"2.5", 2},     {"3.5", 4},   {"2.4999", 2},
        {"2.5001", 3},  {"-0.5", 0},  {"-1.5", -2},
        {"6", 6},       {"7", 7},     {"32767", 32767},
        {"32767.5", 0}, {"32768", 0}, {"-32768", -32768},
        {"-32769", 0},  {"1e400", 0}, {"99999999999999999999", 0},
        {" 3 ", 3},
    };
    for (const auto& row : cases)
        EXPECT_EQ(userLevelFromText(QString::fromUtf8(row.text)), row.expected) << row.text;
}

TEST(NumericText, TrimRemovesOrdinarySpaceOnly)
{
    EXPECT_EQ(trimSpaces(QStringLiteral("  王小明 ")), QStringLiteral("王小明"));
    EXPECT_EQ(trimSpaces(QStringLiteral("\t王\t")), QStringLiteral("\t王\t"));
    EXPECT_EQ(trimSpaces(QStringLiteral("　王　")), QStringLiteral("　王　"));
    EXPECT_EQ(trimSpaces(QStringLiteral("   ")), QString());
    EXPECT_EQ(trimSpaces(QStringLiteral("a b")), QStringLiteral("a b"));
}

} // namespace
} // namespace tevo
