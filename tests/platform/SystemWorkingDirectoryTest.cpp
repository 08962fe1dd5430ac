#include "platform/SystemWorkingDirectory.h"
#include "platform/MountTable.h"

#include "support/QtPrinters.h"
#include "support/ScopedProcessState.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace tevo {
namespace {

const QByteArray kMountInfo =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "40 27 8:17 / /media/usb\\040stick rw,relatime shared:5 master:2 - vfat /dev/sdb1 rw\n"
    "41 27 8:1 /garage /srv/garage rw - ext4 /dev/sda1 rw\n"
    "42 27 0:50 / /srv rw - tmpfs tmpfs rw\n"
    "43 42 0:51 / /srv rw - tmpfs other rw\n"
    "44 27 8:2 / /mnt/back\\134slash\\011tab\\012 rw - ntfs3 /dev/sda2 rw\n"
    "not a mount line\n"
    "45 27 x:y / /bad rw - ext4 /dev/x rw\n"
    "46 27 8:3 / relative rw - ext4 /dev/y rw\n"
    "47 27 8:4 / /no-separator rw ext4 /dev/z rw\n"
    "48 27 8:5 / /short rw -\n"
    "\n";

TEST(MountTable, ParsesMountInfoAndSkipsMalformedLines)
{
    const MountTable table = MountTable::parse(kMountInfo);
    QStringList parsed;
    for (const MountTable::Mount& m : table.mounts()) {
        parsed.append(QString("%1:%2 %3 %4 %5 %6")
                          .arg(m.major)
                          .arg(m.minor)
                          .arg(m.root, m.mountPoint, m.type, m.source));
    }
    const QStringList expected = {
        "0:21 / /proc proc proc",
        "254:0 / / ext4 /dev/vda",
        "8:17 / /media/usb stick vfat /dev/sdb1",
        "8:1 /garage /srv/garage ext4 /dev/sda1",
        "0:50 / /srv tmpfs tmpfs",
        "0:51 / /srv tmpfs other",
        "8:2 / /mnt/back\\slash\ttab\n ntfs3 /dev/sda2",
    };
    EXPECT_EQ(parsed, expected);
}

TEST(MountTable, LongestMountPointHoldsThePath)
{
    const MountTable table = MountTable::parse(kMountInfo);
    const struct
    {
        const char* path;
        std::optional<MountTable::Device> device;
        const char* mountPoint; // nullptr: none
        const char* source;
    } cases[] = {
        {"/srv/garage/suite", std::nullopt, "/srv/garage", "/dev/sda1"},
        {"/srv/garage", std::nullopt, "/srv/garage", "/dev/sda1"},
        {"/srv/other", std::nullopt, "/srv", "other"},
        {"/srv", std::nullopt, "/srv", "other"},
        {"/srvx/suite", std::nullopt, "/", "/dev/vda"},
        {"/", std::nullopt, "/", "/dev/vda"},
        {"/media/usb stick/suite", std::nullopt, "/media/usb stick", "/dev/sdb1"},
        {"/media/usb", std::nullopt, "/", "/dev/vda"},
        {"/mnt/back\\slash\ttab\n/x", std::nullopt, "/mnt/back\\slash\ttab\n", "/dev/sda2"},
        // The later /srv mount hides /srv/garage: the device of the folder tells.
        {"/srv/garage/suite", MountTable::Device{0, 51}, "/srv", "other"},
        {"/srv/garage/suite", MountTable::Device{0, 50}, "/srv", "tmpfs"},
        {"/srv/garage/suite", MountTable::Device{9, 9}, "/srv/garage", "/dev/sda1"},
        {"relative/suite", std::nullopt, nullptr, nullptr},
        {"(unreachable)/suite", std::nullopt, nullptr, nullptr},
    };
    for (const auto& row : cases) {
        const std::optional<MountTable::Mount> mount =
            table.mountHolding(QByteArray(row.path), row.device);
        if (!row.mountPoint) {
            EXPECT_FALSE(mount.has_value()) << row.path;
            continue;
        }
        ASSERT_TRUE(mount.has_value()) << row.path;
        EXPECT_EQ(mount->mountPoint, QString::fromUtf8(row.mountPoint)) << row.path;
        EXPECT_EQ(mount->source, QString::fromUtf8(row.source)) << row.path;
    }
}

// The folder's name as text: UTF-8 as it is, code page 950 (Big5) where it is not UTF-8, else no
// section at all but a message that names the folder with its odd bytes escaped. File
// operations keep the bytes: the drive root is found through them.
TEST(SystemWorkingDirectory, CurrentReadsTheNameAsUtf8ElseAsCodePage950)
{
    QTemporaryDir root;
    const struct
    {
        const char* name;  // the folder's name as bytes
        const char* text;  // current() in the folder; nullptr: none
        const char* shown; // how readable()'s message names it
    } cases[] = {
        {"保養廠 A", "保養廠 A", "保養廠 A"},
        {"\xab\x4f\xbe\x69\xbc\x74 B", "保養廠 B", "保養廠 B"},
        {"壞\x01\x7f\xc2\x85\\\xff名", nullptr, "壞\\x01\\x7F\\xC2\\x85\\\\\\xFF名"},
    };
    test::ScopedWorkingDirectory cwd(root.path());
    ASSERT_TRUE(cwd.changed());
    for (const auto& row : cases) {
        const QByteArray folder = QFile::encodeName(root.path()) + '/' + row.name;
        ASSERT_EQ(::mkdir(folder.constData(), 0755), 0) << row.shown;
        // QTemporaryDir cannot remove a folder whose name is not UTF-8.
        const auto remove = qScopeGuard([&] {
            if (::chdir(QFile::encodeName(root.path()).constData()) != 0 ||
                ::rmdir(folder.constData()) != 0)
                ADD_FAILURE() << "cannot remove " << row.shown;
        });
        ASSERT_EQ(::chdir(folder.constData()), 0) << row.shown;
        const SystemWorkingDirectory workingDirectory;
        EXPECT_EQ(workingDirectory.nativePath(), folder) << row.shown;
        const Result<QString> section = workingDirectory.readable();
        if (!row.text) {
            EXPECT_TRUE(workingDirectory.current().isEmpty()) << row.shown;
            ASSERT_FALSE(section) << row.shown;
            EXPECT_TRUE(section.error().contains(root.path() + u'/' + QString::fromUtf8(row.shown)))
                << section.error();
            continue;
        }
        const QString text = root.path() + u'/' + QString::fromUtf8(row.text);
        EXPECT_EQ(workingDirectory.current(), text) << row.shown;
        EXPECT_TRUE(section && section.value() == text) << row.shown;
        const Result<QString> driveRoot = workingDirectory.driveRoot();
        ASSERT_TRUE(driveRoot.isOk()) << driveRoot.error();
        EXPECT_TRUE(text.startsWith(driveRoot.value())) << driveRoot.value();
    }
}

// In a mount namespace of its own, a child process gives folders drives of their own: a tmpfs
// and a bind mount of a folder inside it. It reports the drive roots it sees, one a line.
TEST(SystemWorkingDirectory, DriveRootIsTheMountPointOfTheFoldersFilesystem)
{
    QTemporaryDir root;
    const QString drive = root.filePath("drive 甲");
    const QString bound = root.filePath("bound");
    ASSERT_TRUE(QDir().mkpath(drive) && QDir().mkpath(bound));
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", QFile::encodeName(drive).constData(), "tmpfs", 0, "size=1m") != 0)
            ::_exit(77);
        QDir().mkpath(drive + "/garage/suite");
        ::mount(QFile::encodeName(drive + "/garage").constData(),
                QFile::encodeName(bound).constData(), nullptr, MS_BIND, nullptr);
        QByteArray lines;
        for (const QString& folder : {drive + "/garage/suite", drive, bound + "/suite"}) {
            const bool entered = ::chdir(QFile::encodeName(folder).constData()) == 0;
            const Result<QString> found = SystemWorkingDirectory().driveRoot();
            lines += (entered && found ? found.value().toUtf8() : "error") + '\n';
        }
        (void)!::write(report[1], lines.constData(), static_cast<size_t>(lines.size()));
        ::_exit(0);
    }
    ::close(report[1]);
    QByteArray received;
    char buffer[4096];
    for (ssize_t n; (n = ::read(report[0], buffer, sizeof buffer)) > 0;)
        received.append(buffer, n);
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no permission to make a mount namespace";
    EXPECT_EQ(QString::fromUtf8(received), QStringList({drive, drive, bound}).join('\n') + '\n');
}

} // namespace
} // namespace tevo
