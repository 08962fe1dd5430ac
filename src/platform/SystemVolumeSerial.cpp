#include "platform/SystemVolumeSerial.h"

#include "platform/SystemWorkingDirectory.h"

#include <QDir>
#include <QFile>

#include <cctype>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace tevo {

namespace {

bool isHexDigits(const QString& text)
{
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return !text.isEmpty();
}

bool isFatType(const QString& type)
{
    return type == QLatin1String("vfat") || type == QLatin1String("msdos") ||
           type == QLatin1String("fat") || type == QLatin1String("exfat");
}

bool isNtfsType(const QString& type)
{
    return type == QLatin1String("ntfs") || type == QLatin1String("ntfs3");
}

// Block filesystems served through FUSE (ntfs-3g, exfat-fuse) show only as "fuseblk"; the form
// of their UUID tells which kind of volume it is.
bool isFuseBlock(const QString& type)
{
    return type == QLatin1String("fuseblk") || type.startsWith(QLatin1String("fuseblk."));
}

QString unescapeUdevName(const QString& name)
{
    QByteArray bytes = QFile::encodeName(name);
    QByteArray decoded;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(bytes[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(bytes[i + 3]))) {
            decoded.append(static_cast<char>(bytes.mid(i + 2, 2).toInt(nullptr, 16)));
            i += 3;
        } else {
            decoded.append(bytes[i]);
        }
    }
    return QFile::decodeName(decoded);
}

Result<qint32> noSerial(const SystemVolumeSerial::VolumeFacts& facts, const QString& why)
{
    return Result<qint32>::error(
        QStringLiteral("無法取得目前磁碟（%1，%2）的序號：%3。請系統管理員協助。")
            .arg(facts.device, facts.type, why));
}

} // namespace

Result<quint32> SystemVolumeSerial::parseFatVolumeId(const QString& uuid)
{
    const QString high = uuid.left(4);
    const QString low = uuid.mid(5);
    if (uuid.size() != 9 || uuid[4] != u'-' || !isHexDigits(high) || !isHexDigits(low))
        return Result<quint32>::error(QStringLiteral("「%1」不是 FAT 磁碟識別碼").arg(uuid));
    return (high.toUInt(nullptr, 16) << 16) | low.toUInt(nullptr, 16);
}

Result<quint64> SystemVolumeSerial::parseNtfsSerial(const QString& uuid)
{
    if (uuid.size() != 16 || !isHexDigits(uuid))
        return Result<quint64>::error(QStringLiteral("「%1」不是 NTFS 磁碟序號").arg(uuid));
    return uuid.toULongLong(nullptr, 16);
}

Result<qint32> SystemVolumeSerial::serialFromFacts(const VolumeFacts& facts)
{
    const auto fromFat = [&]() -> Result<qint32> {
        const Result<quint32> id = parseFatVolumeId(facts.uuid);
        return id ? Result<qint32>(static_cast<qint32>(id.value())) : noSerial(facts, id.error());
    };
    const auto fromNtfs = [&]() -> Result<qint32> {
        const Result<quint64> serial = parseNtfsSerial(facts.uuid);
        return serial ? Result<qint32>(static_cast<qint32>(serial.value() & 0xffffffffu))
                      : noSerial(facts, serial.error());
    };
    const auto fromFsid = [&]() -> Result<qint32> {
        if (!facts.fsidLow)
            return noSerial(facts, QStringLiteral("無法查詢檔案系統"));
        return static_cast<qint32>(*facts.fsidLow);
    };
    const QString missingUuid = QStringLiteral("在 /dev/disk/by-uuid 找不到這個磁碟的識別碼");

    if (isFatType(facts.type))
        return facts.uuid.isEmpty() ? noSerial(facts, missingUuid) : fromFat();
    if (isNtfsType(facts.type)) {
        if (!facts.uuid.isEmpty())
            return fromNtfs();
        if (facts.type == QLatin1String("ntfs3") && facts.fsidLow)
            return fromFsid();
        return noSerial(facts, missingUuid);
    }
    if (isFuseBlock(facts.type)) {
        if (facts.uuid.size() == 16)
            return fromNtfs();
        if (facts.uuid.size() == 9)
            return fromFat();
    }
    return fromFsid();
}

QString SystemVolumeSerial::uuidOfDevice(unsigned major, unsigned minor,
                                         const QString& byUuidFolder)
{
    const dev_t wanted = makedev(major, minor);
    const QDir folder(byUuidFolder);
    const QStringList names =
        folder.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        struct stat info;
        if (::stat(QFile::encodeName(folder.filePath(name)).constData(), &info) == 0 &&
            S_ISBLK(info.st_mode) && info.st_rdev == wanted)
            return unescapeUdevName(name);
    }
    return QString();
}

Result<qint32> SystemVolumeSerial::serialOfCurrentDrive() const
{
    const Result<MountTable::Mount> mount = SystemWorkingDirectory().currentMount();
    if (!mount)
        return Result<qint32>::error(mount.status());
    VolumeFacts facts;
    facts.type = mount.value().type;
    facts.device = mount.value().source;
    if (isFatType(facts.type) || isNtfsType(facts.type) || isFuseBlock(facts.type))
        facts.uuid = uuidOfDevice(mount.value().major, mount.value().minor);
    struct statvfs info;
    if (::statvfs(".", &info) == 0)
        facts.fsidLow = static_cast<quint32>(info.f_fsid & 0xffffffffu);
    return serialFromFacts(facts);
}

} // namespace tevo
