// Mount table text and volume UUIDs, as the volume serial of the current drive is found.
//
// The input is taken as /proc/self/mountinfo text. Every mount read from it must be found again
// for a path below its mount point; every word of the input is tried as a FAT volume ID and an
// NTFS serial (a parsed one must print back as the same text) and as the UUID of volumes of
// every kind.

#include "FuzzCheck.h"

#include "platform/MountTable.h"
#include "platform/SystemVolumeSerial.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstring>

using tevo::MountTable;
using tevo::SystemVolumeSerial;
using tevo::fuzz::shown;

namespace {

// Paths compared as the system spells them.
bool holds(const QByteArray& mountPoint, const QByteArray& path)
{
    if (mountPoint == "/")
        return path.startsWith('/');
    return path == mountPoint || path.startsWith(mountPoint + '/');
}

void checkMounts(const QByteArray& text)
{
    const MountTable table = MountTable::parse(text);
    const auto& mounts = table.mounts();
    FUZZ_CHECK(qsizetype(mounts.size()) <= text.count('\n') + 1, shown(text));
    for (size_t i = 0; i < mounts.size() && i < 8; ++i) {
        const MountTable::Mount& mount = mounts[i];
        FUZZ_CHECK(mount.nativeMountPoint.startsWith('/'), shown(mount.mountPoint));
        const QByteArray path = mount.nativeMountPoint == "/"
                                    ? QByteArray("/x")
                                    : mount.nativeMountPoint + QByteArray("/x");
        const std::optional<MountTable::Mount> found = table.mountHolding(path);
        FUZZ_CHECK(found && holds(found->nativeMountPoint, path),
                   shown(path) + QStringLiteral(" in ") + shown(text));
        for (const MountTable::Mount& other : mounts) {
            FUZZ_CHECK(!holds(other.nativeMountPoint, path) ||
                           other.nativeMountPoint.size() <= found->nativeMountPoint.size(),
                       shown(path) + QStringLiteral(" held by ") + shown(found->mountPoint) +
                           QStringLiteral(" rather than ") + shown(other.mountPoint));
        }
        // With the device known, a mount of that device holding the path wins.
        const std::optional<MountTable::Mount> ofDevice =
            table.mountHolding(path, MountTable::Device{mount.major, mount.minor});
        FUZZ_CHECK(ofDevice && ofDevice->major == mount.major && ofDevice->minor == mount.minor &&
                       holds(ofDevice->nativeMountPoint, path),
                   shown(path) + QStringLiteral(" in ") + shown(text));
    }
}

void checkUuid(const QString& word, std::optional<quint32> fsid)
{
    const tevo::Result<quint32> fat = SystemVolumeSerial::parseFatVolumeId(word);
    if (fat) {
        const QString back = QStringLiteral("%1-%2")
                                 .arg(fat.value() >> 16, 4, 16, QLatin1Char('0'))
                                 .arg(fat.value() & 0xFFFF, 4, 16, QLatin1Char('0'));
        FUZZ_CHECK(back.compare(word, Qt::CaseInsensitive) == 0, shown(word) + u' ' + back);
    } else {
        FUZZ_CHECK(!fat.error().isEmpty(), shown(word));
    }
    const tevo::Result<quint64> ntfs = SystemVolumeSerial::parseNtfsSerial(word);
    if (ntfs) {
        const QString back = QStringLiteral("%1").arg(ntfs.value(), 16, 16, QLatin1Char('0'));
        FUZZ_CHECK(back.compare(word, Qt::CaseInsensitive) == 0, shown(word) + u' ' + back);
    }

    static const char* const types[] = {"vfat",          "exfat", "ntfs",  "ntfs3", "fuseblk",
                                        "fuseblk.exfat", "ext4",  "btrfs", ""};
    for (const char* type : types) {
        SystemVolumeSerial::VolumeFacts facts;
        facts.type = QString::fromLatin1(type);
        facts.device = QStringLiteral("/dev/sdz9");
        facts.uuid = word;
        facts.fsidLow = fsid;
        const tevo::Result<qint32> serial = SystemVolumeSerial::serialFromFacts(facts);
        const QString context = shown(word) + u' ' + facts.type;
        if (facts.type == QLatin1String("vfat") || facts.type == QLatin1String("exfat")) {
            FUZZ_CHECK(bool(serial) == bool(fat), context);
            if (fat)
                FUZZ_CHECK(serial.value() == static_cast<qint32>(fat.value()), context);
        } else if (facts.type == QLatin1String("ntfs") && ntfs) {
            FUZZ_CHECK(serial && serial.value() == static_cast<qint32>(ntfs.value() & 0xFFFFFFFF),
                       context);
        } else if (facts.type == QLatin1String("ext4") || facts.type.isEmpty()) {
            FUZZ_CHECK(bool(serial) == bool(fsid), context);
            if (fsid)
                FUZZ_CHECK(serial.value() == static_cast<qint32>(*fsid), context);
        }
        if (!serial)
            FUZZ_CHECK(serial.error().contains(facts.device), context + u' ' + serial.error());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    checkMounts(text);

    std::optional<quint32> fsid;
    if (size >= 4) {
        quint32 low;
        std::memcpy(&low, data, sizeof low);
        fsid = low;
    }
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QString decoded = QString::fromUtf8(text);
    QStringList words = decoded.split(blanks, Qt::SkipEmptyParts);
    if (words.size() > 16)
        words.resize(16);
    words.append(decoded.left(20));
    for (const QString& word : words)
        checkUuid(word, fsid);
    return 0;
}
