#include "platform/IniProfileFiles.h"

#include "platform/ProfileDocument.h"
#include "support/ProfileTestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tevo {
namespace {

using test::big5;
using test::writeBytes;

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

struct ReadRuleRow
{
    const char* what;
    QByteArray bytes; // Big5 unless it says otherwise
    const char* section;
    const char* key;
    const char* expected; // "<default>" for the caller's default
};

class IniProfileRead : public ::testing::Test
{
protected:
    void checkReadRuleRow(const ReadRuleRow& row);
    QString file(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("p%1.INI").arg(++m_count));
        writeBytes(path, bytes);
        return path;
    }
    QTemporaryDir m_dir;
    int m_count = 0;
    IniProfileFiles m_profiles;
};

void IniProfileRead::checkReadRuleRow(const ReadRuleRow& row)
{
    const QString path = file(row.bytes);
    const QString expected =
        qstrcmp(row.expected, "<default>") == 0 ? u8("dflt") : u8(row.expected);
    EXPECT_EQ(m_profiles.readString(path, u8(row.section), u8(row.key), u8("dflt")), expected)
        << row.what;
    // The line table that writing and checking use follows the same rules.
    QString viaLines = u8("dflt");
    if (const auto doc = ProfileDocument::parse(row.bytes)) {
        const qsizetype header = doc->findSection(u8(row.section));
        const qsizetype line = header < 0 ? -1 : doc->findKey(header, u8(row.key));
        if (line >= 0 && doc->lines()[line].kind == ProfileDocument::LineKind::Entry)
            viaLines = ProfileDocument::unquote(doc->lines()[line].writtenValue);
    }
    EXPECT_EQ(viaLines, expected) << row.what << " (line table)";
}

TEST_F(IniProfileRead, PrivateProfileRules)
{
    const ReadRuleRow cases[] = {
        {"blanks around everything", big5("  [ 第三級 ]\t\r\n \t工單作業 \t= \v\fNO \t\r\n"),
         "第三級", "工單作業", "NO"},
        {"double quotes", big5("[a]\r\nk=\" NO \"\r\n"), "a", "k", " NO "},
        {"single quotes", big5("[a]\r\nk='NO'\r\n"), "a", "k", "NO"},
        {"mismatched quotes", big5("[a]\r\nk=\"NO'\r\n"), "a", "k", "\"NO'"},
        {"lone quote", big5("[a]\r\nk=\"\r\n"), "a", "k", "\""},
        {"one pair only", big5("[a]\r\nk=\"\"v\"\"\r\n"), "a", "k", "\"v\""},
        {"inner quotes", big5("[a]\r\nk=a\"b\"\r\n"), "a", "k", "a\"b\""},
        {"semicolon in value", big5("[a]\r\nk=NO ; no\r\n"), "a", "k", "NO ; no"},
        {"comment line", big5("[a]\r\n;k=NO\r\n"), "a", "k", "<default>"},
        {"first = splits", big5("[a]\r\nk = x=y\r\n"), "a", "k", "x=y"},
        {"no = means no value", big5("[a]\r\nk\r\n"), "a", "k", "<default>"},
        {"valueless key wins", big5("[a]\r\nk\r\nk=NO\r\n"), "a", "k", "<default>"},
        {"first key wins", big5("[a]\r\nK=1\r\nk=2\r\n"), "a", "k", "1"},
        {"first section wins", big5("[a]\r\nk=1\r\n[A]\r\nk=2\r\n"), "a", "k", "1"},
        {"key only in later duplicate", big5("[a]\r\nk=1\r\n[a]\r\nj=2\r\n"), "a", "j",
         "<default>"},
        {"keys before any section", big5("k=1\r\n[a]\r\n"), "a", "k", "<default>"},
        {"missing section", big5("[a]\r\nk=1\r\n"), "b", "k", "<default>"},
        {"missing key", big5("[a]\r\nk=1\r\n"), "a", "j", "<default>"},
        {"empty value", big5("[a]\r\nk=\r\n"), "a", "k", ""},
        {"CR line ends", big5("[a]\rj=1\rk=2"), "a", "k", "2"},
        {"LF line ends", big5("[a]\nk=2\n"), "a", "k", "2"},
        {"name ends at last ]", big5("[a]b] tail\r\nk=1\r\n"), "a]b", "k", "1"},
        {"[ without ] is no header", big5("[a]\r\n[b\r\nk=1\r\n"), "a", "k", "1"},
        {"Unicode case", big5("[ΑΒΓ]\r\nΔ=1\r\n"), "αβγ", "δ", "1"},
        {"ASCII case", big5("[Section]\r\nKEY=1\r\n"), "SECTION", "key", "1"},
        {"caller's names trimmed", big5("[s]\r\nname1=v\r\n"), " s\t", "\t name1 ", "v"},
        // Second bytes that are ASCII: 許 B3 5C, 包 A5 5D, 乙 A4 41, 兀 A4 61.
        {"] as second byte", big5("[包]\r\n許=1\r\n"), "包", "許", "1"},
        {"] second byte after header", big5("[第三級]包\r\n工單作業=NO\r\n"), "第三級", "工單作業",
         "NO"},
        {"lone [包 is no header", big5("[a]\r\n[包\r\nk=1\r\n"), "a", "k", "1"},
        {"乙 is not 兀", big5("[乙]\r\nk=1\r\n[兀]\r\nk=2\r\n"), "兀", "k", "2"},
        {"damaged bytes elsewhere", "[a]\r\nx=\xFF\xB3\r\nk=1\r\n", "a", "k", "1"},
        {"UTF-8 without mark", "[\xE7\xAC\xAC\xE4\xB8\x89\xE7\xB4\x9A]\nk=\xE8\xA8\xB1\n", "第三級",
         "k", "許"},
        {"UTF-8 with mark", "\xEF\xBB\xBF[a]\r\nk=\xE5\x8C\x85\r\n", "a", "k", "包"},
        {"UTF-8 mark, damaged line", "\xEF\xBB\xBF[a]\r\nx=\xE5\r\nk=1\r\n", "a", "k", "1"},
        {"binary file", QByteArray("[a]\r\nk=1\r\n\0\x01", 12), "a", "k", "<default>"},
        {"empty file", "", "a", "k", "<default>"},
    };
    for (const ReadRuleRow& row : cases)
        checkReadRuleRow(row);
}

TEST_F(IniProfileRead, ValueCutToBufferInCodePage950)
{
    const struct
    {
        QByteArray bytes;
        int buffer;
        QString expected;
    } cases[] = {
        {"[a]\r\nk=" + QByteArray(300, 'x') + "\r\n", 200, QString(199, u'x')},
        {big5("[a]\r\nk=" + u8("許").repeated(150).toUtf8()), 200, u8("許").repeated(99)},
        {big5("[a]\r\nk=a" + u8("許").repeated(150).toUtf8()), 200,
         u8("a") + u8("許").repeated(99)},
        // UTF-8 files are cut by the same code page 950 measure.
        {"[a]\nk=" + u8("許").repeated(150).toUtf8(), 200, u8("許").repeated(99)},
        // Characters without a Big5 form count one byte, as the "?" they would become.
        {"[a]\nk=" + u8("😀😀😀").toUtf8(), 3, u8("😀😀")},
        {"[a]\r\nk=abc\r\n", 3, u8("ab")},
        {"[a]\r\nk=abc\r\n", 1, QString()},
        {"[a]\r\nk=abc\r\n", 0, QString()},
    };
    for (const auto& row : cases)
        EXPECT_EQ(m_profiles.readString(file(row.bytes), u8("a"), u8("k"), QString(), row.buffer),
                  row.expected)
            << row.buffer << ' ' << row.bytes.left(12).toHex().constData();
}

TEST_F(IniProfileRead, FilesThatAreNoProfileGiveTheDefault)
{
    const QString folder = m_dir.filePath(QStringLiteral("folder.INI"));
    QDir().mkdir(folder);
    const QString fifo = m_dir.filePath(QStringLiteral("fifo.INI"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray huge = "[a]\r\nk=1\r\n";
    huge.append(IniProfileFiles::kMaxFileBytes, '\n');
    const QString unreadable = file("[a]\r\nk=1\r\n");
    QFile::setPermissions(unreadable, QFileDevice::WriteOwner);

    const QString cases[] = {
        m_dir.filePath(QStringLiteral("missing.INI")),
        m_dir.filePath(QStringLiteral("missing/p.INI")),
        folder,
        fifo, // must not wait for a writer
        file(huge),
        QString(),
    };
    for (const QString& path : cases)
        EXPECT_EQ(m_profiles.readString(path, u8("a"), u8("k"), u8("dflt")), u8("dflt"))
            << path.toStdString();
    test::runWithoutPermissionOverride([&] {
        EXPECT_EQ(m_profiles.readString(unreadable, u8("a"), u8("k"), u8("dflt")), u8("dflt"));
    });
}

} // namespace
} // namespace tevo
