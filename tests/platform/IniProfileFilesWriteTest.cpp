#include "platform/IniProfileFiles.h"

#include "support/ChildProcess.h"
#include "support/ProfileTestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <tuple>

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

// Starts a process that sets keys "w<writer>-<i>" of section "a" to i, for i from 0 to
// count - 1, as `user` where given. It exits with 0 once all are written.
pid_t startWriter(const QString& path, int writer, int count, std::optional<uid_t> user)
{
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    if (user && (::setgroups(0, nullptr) != 0 || ::setresgid(*user, *user, *user) != 0 ||
                 ::setresuid(*user, *user, *user) != 0))
        ::_exit(120);
    IniProfileFiles profiles;
    for (int i = 0; i < count; ++i) {
        const Status status = profiles.writeString(
            path, u8("a"), QStringLiteral("w%1-%2").arg(writer).arg(i), QString::number(i));
        if (!status) {
            std::fprintf(stderr, "%s\n", status.message().toLocal8Bit().constData());
            ::_exit(1);
        }
    }
    ::_exit(0);
}

int exitCodeOf(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

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

// Two processes set 300 keys each in one file at once, and all 600 land: whether both replace
// the file (made by whichever comes first), both rewrite another user's file in place, or its
// owner replaces it while root rewrites it in place.
TEST(IniProfileWrite, WritesFromTwoProcessesAllLand)
{
    constexpr int kWrites = 300;
    const std::optional<uid_t> other = test::unprivilegedUser(); // none unless root
    const struct
    {
        const char* what;
        bool othersFile; // else no file to begin with
        mode_t folderMode;
    } cases[] = {
        {"no file yet, both replace it", false, 0755},
        {"another user's file in a folder only root may write: both in place", true, 0755},
        {"another user's file in a folder all may write: its owner replaces it", true, 0777},
    };
    for (const auto& row : cases) {
        if (row.othersFile && !other)
            continue; // needs root, to give the file to another user
        // In memory where there is such a folder: every write is flushed, and the lock is tested.
        const QString memory = QStringLiteral("/dev/shm");
        QTemporaryDir dir((QFileInfo(memory).isWritable() ? memory : QDir::tempPath()) +
                          QStringLiteral("/tevo-XXXXXX"));
        const QString path = dir.filePath(QStringLiteral("p.INI"));
        ::chmod(QFile::encodeName(dir.path()).constData(), row.folderMode);
        if (row.othersFile) {
            writeBytes(path, "[b]\r\n");
            ::chmod(QFile::encodeName(path).constData(), 0666);
            test::giveTo(path, other);
        }
        const pid_t first = startWriter(path, 0, kWrites, row.othersFile ? other : std::nullopt);
        const pid_t second = startWriter(path, 1, kWrites, std::nullopt);
        EXPECT_EQ(exitCodeOf(first), 0) << row.what;
        EXPECT_EQ(exitCodeOf(second), 0) << row.what;
        IniProfileFiles profiles;
        QStringList lost;
        for (int i = 0; i < 2 * kWrites; ++i) {
            const QString key = QStringLiteral("w%1-%2").arg(i / kWrites).arg(i % kWrites);
            if (profiles.readString(path, u8("a"), key) != QString::number(i % kWrites))
                lost << key;
        }
        EXPECT_EQ(lost.size(), 0) << row.what << ": " << lost.mid(0, 10).join(u' ').toStdString();
        EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("p.INI")}) << row.what;
    }
}

// Written by nobody: a file nobody does not own, or in a folder nobody may not write, is
// rewritten in place; nobody's own file in a folder nobody may write is replaced. Either way it
// keeps its owner, group, mode and access ACL.
TEST(IniProfileWrite, KeepsOwnerGroupModeAndAcl)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to give files to other users";
    constexpr uid_t kNobody = 65534; // and group nogroup
    const char* const kAcl = "system.posix_acl_access";
    // user::rw- user:nobody:rw- group::r-- mask::rw- other::r-- as the kernel stores it.
    const QByteArray acl("\x02\0\0\0"
                         "\x01\0\x06\0\xff\xff\xff\xff"
                         "\x02\0\x06\0\xfe\xff\0\0"
                         "\x04\0\x04\0\xff\xff\xff\xff"
                         "\x10\0\x06\0\xff\xff\xff\xff"
                         "\x20\0\x04\0\xff\xff\xff\xff",
                         44);
    const struct
    {
        const char* what;
        uid_t owner;
        gid_t group;
        mode_t folderMode; // the folder is root's
        bool inPlace;
    } cases[] = {
        {"root's file in a folder only root may write", 0, 0, 0755, true},
        {"root's file in a folder all may write", 0, 0, 0777, true},
        {"nobody's file in a folder only root may write", kNobody, kNobody, 0755, true},
        {"nobody's file in a folder all may write", kNobody, kNobody, 0777, false},
        {"nobody's file of a group nobody is not in", kNobody, 0, 0777, true},
    };
    for (const auto& row : cases) {
        QTemporaryDir dir;
        ::chmod(QFile::encodeName(dir.path()).constData(), row.folderMode);
        const QString path = dir.filePath(QStringLiteral("p.INI"));
        const QByteArray name = QFile::encodeName(path);
        writeBytes(path, "[a]\r\nk=1\r\n");
        ASSERT_EQ(::chown(name.constData(), row.owner, row.group), 0) << row.what;
        ASSERT_EQ(::setxattr(name.constData(), kAcl, acl.constData(), size_t(acl.size()), 0), 0)
            << row.what;
        struct stat before, after;
        ASSERT_EQ(::stat(name.constData(), &before), 0);
        EXPECT_EQ(exitCodeOf(startWriter(path, 0, 1, kNobody)), 0) << row.what;
        ASSERT_EQ(::stat(name.constData(), &after), 0);
        EXPECT_EQ(readBytes(path), QByteArray("[a]\r\nk=1\r\nw0-0=0\r\n")) << row.what;
        EXPECT_EQ(after.st_ino == before.st_ino, row.inPlace) << row.what;
        EXPECT_EQ(std::tuple(after.st_uid, after.st_gid, after.st_mode),
                  std::tuple(row.owner, row.group, before.st_mode))
            << row.what;
        QByteArray kept(64, '\0');
        kept.truncate(std::max<ssize_t>(0, ::getxattr(name.constData(), kAcl, kept.data(), 64)));
        EXPECT_EQ(kept, acl) << row.what;
        EXPECT_EQ(entriesOf(dir.path()), QStringList{QStringLiteral("p.INI")}) << row.what;
    }
}

// Every failure leaves the original as it was and no temporary file behind.
struct WriteFailureRow
{
    const char* what;
    QByteArray before; // kMissing: no file
    const char* name;  // file name inside the temporary folder
    const char* section;
    const char* key;
    const char* value;
    bool withoutRootOverride;
    int fileSizeLimit; // 0: none
};

void checkWriteFailureRow(const WriteFailureRow& row)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u8(row.name));
    const QString folder = QFileInfo(path).path();
    if (qstrcmp(row.what, "missing folder") != 0)
        QDir().mkpath(folder);
    if (row.before != kMissing)
        writeBytes(path, row.before);
    if (qstrcmp(row.what, "new file in a read-only folder") == 0)
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
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(status.isOk()) << row.what;
    EXPECT_TRUE(status.message().contains(path))
        << row.what << ": " << status.message().toStdString();
    if (QFileInfo(path).isSymLink()) {
        // The link and what it points to are as they were, and nothing was added.
        EXPECT_EQ(QFileInfo::exists(linked) ? readBytes(linked) : kMissing, row.before) << row.what;
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        EXPECT_EQ(QDir(folder).entryList(all).size(), row.before == kMissing ? 1 : 2) << row.what;
    } else if (row.before == kMissing) {
        EXPECT_FALSE(QFileInfo::exists(path)) << row.what;
    } else {
        EXPECT_EQ(readBytes(path), row.before) << row.what;
        EXPECT_EQ(entriesOf(folder), QStringList{QFileInfo(path).fileName()}) << row.what;
    }
}

TEST(IniProfileWrite, FailuresReportAndKeepTheOriginal)
{
    const QByteArray original = big5("[a]\r\nk=1\r\n");
    const QByteArray longValue(200, 'x');
    const WriteFailureRow cases[] = {
        {"missing folder", kMissing, "no/such/p.INI", "a", "k", "2", false, 0},
        {"new file in a read-only folder", kMissing, "ro/p.INI", "a", "k", "2", true, 0},
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
    for (const WriteFailureRow& row : cases)
        checkWriteFailureRow(row);
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
