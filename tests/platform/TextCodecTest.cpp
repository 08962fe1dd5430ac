#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(TextCodec, Cp950CharactersWhoseSecondByteIsAscii)
{
    const struct
    {
        const char* text;
        QByteArray bytes;
    } cases[] = {
        {"許", "\xB3\x5C"},     {"包", "\xA5\x5D"}, {"乙", "\xA4\x41"},
        {"兀", "\xA4\x61"},     {"α", "\xA3\x5C"},  {"第三級", "\xB2\xC4\xA4\x54\xAF\xC5"},
        {"a=b;[c]", "a=b;[c]"}, {"", ""},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(TextCodec::encodeCp950(u8(row.text)), row.bytes) << row.text;
        EXPECT_EQ(TextCodec::decodeCp950(row.bytes), u8(row.text)) << row.text;
        EXPECT_TRUE(TextCodec::isValidCp950(row.bytes)) << row.text;
    }
    EXPECT_EQ(TextCodec::encodeCp950(u8("😀")), std::nullopt);
    EXPECT_EQ(TextCodec::encodeCp950(QString(QChar(0xD800))), std::nullopt);
}

TEST(TextCodec, DamagedCp950BecomesOneReplacementPerByteAndKeepsWhatFollows)
{
    const struct
    {
        QByteArray bytes;
        const char* text;
    } cases[] = {
        {"\xFF", "\xEF\xBF\xBD"},
        {"a\xB3", "a\xEF\xBF\xBD"},             // lead byte at the end
        {"\xB3\r\nk=v", "\xEF\xBF\xBD\r\nk=v"}, // lead byte before a line end
        {"\xB3\x5C\xFF\xA5\x5D", "許\xEF\xBF\xBD包"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(TextCodec::decodeCp950(row.bytes), u8(row.text)) << row.bytes.toHex().constData();
        EXPECT_FALSE(TextCodec::isValidCp950(row.bytes)) << row.bytes.toHex().constData();
    }
}

TEST(TextCodec, StrictUtf8)
{
    const struct
    {
        QByteArray bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"plain", true},
        {"\xE8\xA8\xB1", true},      // 許
        {"\xF0\x9F\x98\x80", true},  // outside the BMP
        {"\xE8\xA8", false},         // cut short
        {"\xC0\xAF", false},         // overlong "/"
        {"\xE0\x80\xAF", false},     // overlong
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // above U+10FFFF
        {"\xB3\x5C", false},         // Big5 許
        {"\x80", false},
    };
    for (const auto& row : cases)
        EXPECT_EQ(TextCodec::isValidUtf8(row.bytes), row.valid) << row.bytes.toHex().constData();
    EXPECT_TRUE(TextCodec::isUtf8Text("\xEF\xBB\xBF\xB3\x5C")); // the mark decides
    EXPECT_FALSE(TextCodec::isUtf8Text("\xB3\x5C"));
}

} // namespace
} // namespace tevo
