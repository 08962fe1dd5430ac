#include "platform/IniProfileFiles.h"

#include "support/ProfileTestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace tevo {
namespace {

using test::big5;
using test::entriesOf;
using test::readBytes;
using test::writeBytes;

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

const QByteArray kMissing = "<missing>";

TEST(IniProfileWrite, ChangesOneKeyAndKeepsEveryOtherByte)
{
    const QByteArray bom = "\xEF\xBB\xBF";
    const QByteArray big5File = big5("; 設定\r\n[公司]\r\n目錄位置 = \"舊\" \r\n其他=許\r\n\r\n"
                                     "[備份]\r\n目錄位置=X\r\n\r\n[包]\r\n乙=1\r\n");
    const struct
    {
        const char* what;
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    } cases[] = {
        {"new file", kMissing, "備份", "目錄位置", "GARVO", big5("[備份]\r\n目錄位置=GARVO\r\n")},
        {"empty file", "", "a", "k", "v", "[a]\r\nk=v\r\n"},
        {"key in place", big5File, "備份", "目錄位置", "GARVO",
         big5("; 設定\r\n[公司]\r\n目錄位置 = \"舊\" \r\n其他=許\r\n\r\n"
              "[備份]\r\n目錄位置=GARVO\r\n\r\n[包]\r\n乙=1\r\n")},
        {"value after = replaced whole", big5File, "公司", "目錄位置", "GARVO",
         big5("; 設定\r\n[公司]\r\n目錄位置 =GARVO\r\n其他=許\r\n\r\n"
              "[備份]\r\n目錄位置=X\r\n\r\n[包]\r\n乙=1\r\n")},
        {"key added after the section's last line", big5File, "公司", "新", "1",
         big5("; 設定\r\n[公司]\r\n目錄位置 = \"舊\" \r\n其他=許\r\n新=1\r\n\r\n"
              "[備份]\r\n目錄位置=X\r\n\r\n[包]\r\n乙=1\r\n")},
        {"] as second byte", big5File, "包", "乙", "2",
         big5("; 設定\r\n[公司]\r\n目錄位置 = \"舊\" \r\n其他=許\r\n\r\n"
              "[備份]\r\n目錄位置=X\r\n\r\n[包]\r\n乙=2\r\n")},
        {"section added at the end", big5File, "Online", "ServiceHost", "h:1",
         big5File + "[Online]\r\nServiceHost=h:1\r\n"},
        {"last line ended first", "[a]\nk=1", "b", "k", "2", "[a]\nk=1\r\n[b]\r\nk=2\r\n"},
        {"key after unended last line", "[a]\r\nk=1", "a", "j", "2", "[a]\r\nk=1\r\nj=2\r\n"},
        {"valueless key gets its value", "[a]\r\n k \r\n", "a", "K", "v", "[a]\r\n k =v\r\n"},
        {"first duplicate changed", "[a]\r\nk=1\r\n[A]\r\nk=2\r\n", "A", "k", "3",
         "[a]\r\nk=3\r\n[A]\r\nk=2\r\n"},
        {"damaged bytes kept", "[a]\r\nx=\xFF\xB3\r\nk=1\r\n", "a", "k", "2",
         "[a]\r\nx=\xFF\xB3\r\nk=2\r\n"},
        {"ASCII file takes Big5", "[a]\r\nk=1\r\n", "b", "許", "包",
         "[a]\r\nk=1\r\n" + big5("[b]\r\n許=包\r\n")},
        {"UTF-8 stays UTF-8", "[\xE5\x8C\x85]\nk=1\n", "包", "許", "乙",
         "[\xE5\x8C\x85]\nk=1\n\xE8\xA8\xB1=\xE4\xB9\x99\r\n"},
        {"mark kept", bom + "[a]\r\nk=1\r\n", "a", "k", "許", bom + "[a]\r\nk=\xE8\xA8\xB1\r\n"},
        {"mark alone", bom, "a", "k", "v", bom + "[a]\r\nk=v\r\n"},
    };
    for (const auto& row : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kelpan.INI"));
        if (row.before != kMissing)
            writeBytes(path, row.before);
        IniProfileFiles profiles;
        const Status status =
            profiles.writeString(path, u8(row.section), u8(row.key), u8(row.value));
        EXPECT_TRUE(status.isOk()) << row.what << ": " << status.message().toStdString();
        EXPECT_EQ(readBytes(path), row.after) << row.what;
        EXPECT_EQ(profiles.readString(path, u8(row.section), u8(row.key)), u8(row.value))
            << row.what;
        EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("kelpan.INI")}) << row.what;
    }
}

// The permission bits are kept; a set-group-ID bit is not.
TEST(IniProfileWrite, KeepsPermissionBitsOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.INI"));
    writeBytes(path, "[a]\r\nk=1\r\n");
    ::chmod(QFile::encodeName(path).constData(), 02640);
    IniProfileFiles profiles;
    ASSERT_TRUE(profiles.writeString(path, u8("a"), u8("k"), u8("2")).isOk());
    EXPECT_EQ(readBytes(path), QByteArray("[a]\r\nk=2\r\n"));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Every failure leaves the original as it was and no temporary file behind.
TEST(IniProfileWrite, FailuresReportAndKeepTheOriginal)
{
    const QByteArray original = big5("[a]\r\nk=1\r\n");
    const QByteArray longValue(200, 'x');
    const struct
    {
        const char* what;
        QByteArray before; // kMissing: no file
        const char* name;  // file name inside the temporary folder
        const char* section;
        const char* key;
        const char* value;
        bool withoutRootOverride;
        int fileSizeLimit; // 0: none
    } cases[] = {
        {"missing folder", kMissing, "no/such/p.INI", "a", "k", "2", false, 0},
        {"read-only folder", original, "ro/p.INI", "a", "k", "2", true, 0},
        {"read-only file", original, "p.INI", "a", "k", "2", true, 0},
        {"full disk", original, "p.INI", "a", "k", longValue.constData(), false, 16},
        {"binary file", QByteArray("[a]\r\nk=1\0", 9), "p.INI", "a", "k", "2", false, 0},
        {"no Big5 form", original, "p.INI", "a", "k", "😀", false, 0},
        {"line end in value", original, "p.INI", "a", "k", "1\r\n[b]", false, 0},
        {"= in key", original, "p.INI", "a", "k=j", "2", false, 0},
        {"empty section", original, "p.INI", "", "k", "2", false, 0},
        // Big5 bytes that happen to be valid UTF-8 as a whole ("羅" is C3 B9) would make the
        // file read as UTF-8 from then on.
        {"value read as UTF-8", original, "p.INI", "a", "k", "羅", false, 0},
        {"new file read as UTF-8", kMissing, "p.INI", "a", "k", "羅", false, 0},
        {"other value read as UTF-8", big5("[a]\r\nk=中\r\nj=羅\r\n"), "p.INI", "a", "k", "1",
         false, 0},
        // A link in the file's place is not followed, whether its target exists or not.
        {"link", original, "p.INI", "a", "k", "2", false, 0},
        {"dangling link", kMissing, "p.INI", "a", "k", "2", false, 0},
    };
    for (const auto& row : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(u8(row.name));
        const QString folder = QFileInfo(path).path();
        if (row.before != kMissing) {
            QDir().mkpath(folder);
            writeBytes(path, row.before);
        }
        if (qstrcmp(row.what, "read-only folder") == 0)
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (qstrcmp(row.what, "read-only file") == 0)
            QFile::setPermissions(path, QFileDevice::ReadOwner);
        const QString linked = dir.filePath(QStringLiteral("linked.INI"));
        if (qstrcmp(row.what, "link") == 0 || qstrcmp(row.what, "dangling link") == 0) {
            if (row.before != kMissing)
                QFile::rename(path, linked);
            QFile::link(linked, path);
        }

        Status status = Status::ok();
        const auto write = [&] {
            IniProfileFiles profiles;
            status = profiles.writeString(path, u8(row.section), u8(row.key), u8(row.value));
        };
        if (row.withoutRootOverride) {
            test::runWithoutPermissionOverride(write);
        } else if (row.fileSizeLimit > 0) {
            rlimit saved;
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit limit = saved;
            limit.rlim_cur = rlim_t(row.fileSizeLimit);
            const auto previous = std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &limit);
            write();
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, previous);
        } else {
            write();
        }
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        EXPECT_FALSE(status.isOk()) << row.what;
        EXPECT_TRUE(status.message().contains(path))
            << row.what << ": " << status.message().toStdString();
        if (QFileInfo(path).isSymLink()) {
            // The link and what it points to are as they were, and nothing was added.
            EXPECT_EQ(QFileInfo::exists(linked) ? readBytes(linked) : kMissing, row.before)
                << row.what;
            const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
            EXPECT_EQ(QDir(folder).entryList(all).size(), row.before == kMissing ? 1 : 2)
                << row.what;
        } else if (row.before == kMissing) {
            EXPECT_FALSE(QFileInfo::exists(path)) << row.what;
        } else {
            EXPECT_EQ(readBytes(path), row.before) << row.what;
            EXPECT_EQ(entriesOf(folder), QStringList{QFileInfo(path).fileName()}) << row.what;
        }
    }
}

// A NUL character would make the file binary, and every key in it would read as the default.
TEST(IniProfileWrite, NulCharactersAreRefused)
{
    const QString nul(QChar::Null);
    const struct
    {
        const char* what;
        QString section;
        QString key;
        QString value;
    } cases[] = {
        {"section", u8("b") + nul, u8("k"), u8("2")},
        {"key", u8("a"), u8("j") + nul, u8("2")},
        {"value", u8("a"), u8("k"), u8("2") + nul + u8("3")},
    };
    for (const auto& row : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.INI"));
        const QByteArray original = big5("[a]\r\nk=1\r\n");
        writeBytes(path, original);
        IniProfileFiles profiles;
        const Status status = profiles.writeString(path, row.section, row.key, row.value);
        EXPECT_FALSE(status.isOk()) << row.what;
        EXPECT_EQ(readBytes(path), original) << row.what;
        EXPECT_EQ(profiles.readString(path, u8("a"), u8("k")), u8("1")) << row.what;
    }
}

TEST(IniProfileWrite, FolderWhereTheFileShouldBe)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.INI"));
    QDir().mkdir(path);
    IniProfileFiles profiles;
    EXPECT_FALSE(profiles.writeString(path, u8("a"), u8("k"), u8("v")).isOk());
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("p.INI")});
}

} // namespace
} // namespace tevo
