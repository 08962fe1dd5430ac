#include "platform/SystemVolumeSerial.h"

#include "support/QtPrinters.h"
#include "support/ScopedProcessState.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace tevo {
namespace {

using Facts = SystemVolumeSerial::VolumeFacts;

TEST(SystemVolumeSerial, ParsesFatVolumeIds)
{
    const struct
    {
        const char* uuid;
        std::optional<quint32> expected;
    } cases[] = {
        {"1234-ABCD", 0x1234ABCDu},   {"1234-abcd", 0x1234ABCDu},
        {"FFFF-FFFF", 0xFFFFFFFFu},   {"0000-0000", 0u},
        {"8000-0001", 0x80000001u},   {"", std::nullopt},
        {"1234ABCD", std::nullopt},   {"1234-ABC", std::nullopt},
        {"1234-ABCDE", std::nullopt}, {"12G4-ABCD", std::nullopt},
        {"1234_ABCD", std::nullopt},  {"-1234-ABC", std::nullopt},
        {"+123-ABCD", std::nullopt},  {" 123-ABCD", std::nullopt},
        {"0x12-ABCD", std::nullopt},  {"１２３４-ABCD", std::nullopt},
    };
    for (const auto& row : cases) {
        const Result<quint32> id =
            SystemVolumeSerial::parseFatVolumeId(QString::fromUtf8(row.uuid));
        ASSERT_EQ(id.isOk(), row.expected.has_value()) << row.uuid;
        if (row.expected) {
            EXPECT_EQ(id.value(), *row.expected) << row.uuid;
        }
    }
}

TEST(SystemVolumeSerial, ParsesNtfsSerials)
{
    const struct
    {
        const char* uuid;
        std::optional<quint64> expected;
    } cases[] = {
        {"0123456789ABCDEF", 0x0123456789ABCDEFull},
        {"0123456789abcdef", 0x0123456789ABCDEFull},
        {"FFFFFFFFFFFFFFFF", ~0ull},
        {"0000000000000000", 0ull},
        {"0123456789ABCDE", std::nullopt},
        {"0123456789ABCDEF0", std::nullopt},
        {"0123456789ABCDEG", std::nullopt},
        {"01234567-89ABCDE", std::nullopt},
        {"", std::nullopt},
        {"+123456789ABCDEF", std::nullopt},
    };
    for (const auto& row : cases) {
        const Result<quint64> serial =
            SystemVolumeSerial::parseNtfsSerial(QString::fromUtf8(row.uuid));
        ASSERT_EQ(serial.isOk(), row.expected.has_value()) << row.uuid;
        if (row.expected) {
            EXPECT_EQ(serial.value(), *row.expected) << row.uuid;
        }
    }
}

TEST(SystemVolumeSerial, SerialComesFromTheFilesystemsOwnNumber)
{
    const std::optional<quint32> fsid = 0xCAE41E14u;
    const struct
    {
        const char* type;
        const char* uuid;
        std::optional<quint32> fsidLow;
        std::optional<qint32> expected; // nullopt: an error
    } cases[] = {
        {"vfat", "1234-ABCD", fsid, 0x1234ABCD},
        {"vfat", "F00D-CAFE", fsid, qint32(-267531522)},
        {"exfat", "0000-0000", fsid, 0},
        {"msdos", "8000-0000", fsid, qint32(-2147483647 - 1)},
        {"vfat", "", fsid, std::nullopt}, // the fsid of a FAT mount is not its serial
        {"vfat", "garbage", fsid, std::nullopt},
        {"ntfs3", "0123456789ABCDEF", fsid, qint32(-1985229329)},
        {"ntfs", "0123456712345678", std::nullopt, 0x12345678},
        {"ntfs3", "", fsid, qint32(0xCAE41E14u)},
        {"ntfs", "", fsid, std::nullopt},
        {"fuseblk", "0123456712345678", fsid, 0x12345678},
        {"fuseblk", "1234-ABCD", fsid, 0x1234ABCD},
        {"fuseblk", "", fsid, qint32(0xCAE41E14u)},
        {"ext4", "4f0c2a1e-7d3b-4c55-9b0e-2f6a8d1c3e70", fsid, qint32(0xCAE41E14u)},
        {"tmpfs", "", 0x7FFFFFFFu, 0x7FFFFFFF},
        {"btrfs", "", 0u, 0},
        {"ext4", "", std::nullopt, std::nullopt},
    };
    for (const auto& row : cases) {
        const Facts facts{row.type, "/dev/sdz1", row.uuid, row.fsidLow};
        const Result<qint32> serial = SystemVolumeSerial::serialFromFacts(facts);
        ASSERT_EQ(serial.isOk(), row.expected.has_value())
            << row.type << " " << row.uuid << " " << serial.error();
        if (row.expected) {
            EXPECT_EQ(serial.value(), *row.expected) << row.type << " " << row.uuid;
        } else {
            EXPECT_TRUE(serial.error().contains("/dev/sdz1")) << serial.error();
        }
    }
}

// Some block device of this machine, to point test links at.
std::optional<QString> anyBlockDevice()
{
    for (const QFileInfo& entry : QDir("/dev").entryInfoList(QDir::System | QDir::Files)) {
        struct stat info;
        if (::stat(QFile::encodeName(entry.filePath()).constData(), &info) == 0 &&
            S_ISBLK(info.st_mode))
            return entry.filePath();
    }
    return std::nullopt;
}

TEST(SystemVolumeSerial, FindsTheUuidLinkOfTheMountsDevice)
{
    const std::optional<QString> device = anyBlockDevice();
    if (!device)
        GTEST_SKIP() << "no block device to link to";
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(*device).constData(), &info), 0);
    const unsigned major = ::major(info.st_rdev);
    const unsigned minor = ::minor(info.st_rdev);

    const struct
    {
        QStringList links; // name=target
        unsigned minor;
        const char* expected;
    } cases[] = {
        {{"9999-0000=/dev/null", "1234-ABCD=" + *device, "broken=/nonexistent"},
         minor,
         "1234-ABCD"},
        {{"AB\\x2dCD\\x20x=" + *device}, minor, "AB-CD x"},
        {{"1234-ABCD=" + *device}, minor + 1000, ""},
        {{}, minor, ""},
    };
    for (const auto& row : cases) {
        QTemporaryDir folder;
        for (const QString& link : row.links) {
            ASSERT_TRUE(QFile::link(link.section('=', 1), folder.filePath(link.section('=', 0, 0))))
                << link;
        }
        EXPECT_EQ(SystemVolumeSerial::uuidOfDevice(major, row.minor, folder.path()),
                  QString::fromUtf8(row.expected))
            << row.links.join(' ');
    }
    EXPECT_EQ(SystemVolumeSerial::uuidOfDevice(major, minor, "/nonexistent/by-uuid"), QString());
}

TEST(SystemVolumeSerial, SameDriveGivesTheSameNumber)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir().mkpath(root.filePath("a/b")));
    std::optional<qint32> first;
    for (const QString& folder : {root.path(), root.filePath("a/b"), root.path()}) {
        test::ScopedWorkingDirectory cwd(folder);
        const Result<qint32> serial = SystemVolumeSerial().serialOfCurrentDrive();
        ASSERT_TRUE(serial.isOk()) << serial.error();
        if (!first)
            first = serial.value();
        EXPECT_EQ(serial.value(), *first) << folder;
    }
}

} // namespace
} // namespace tevo
