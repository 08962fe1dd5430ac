#pragma once

#include "platform/WorkingDirectory.h"

#include <optional>

namespace tevo {

// The volume serial number of the drive that holds the working directory, the number that
// Windows shows for that volume where there is one:
// - FAT and exFAT: the 32-bit volume ID, whose UUID form is "XXXX-XXXX";
// - NTFS: the low 32 bits of the 64-bit serial, whose UUID form is 16 hex digits (the ntfs3
//   driver also reports it in the first word of f_fsid);
// - any other filesystem: the low 32 bits of statvfs().f_fsid (ext4 derives it from its UUID,
//   so it stays the same across mounts).
// Volume UUIDs are found in /dev/disk/by-uuid for the mount's device.
class SystemVolumeSerial : public VolumeSerialSource
{
public:
    Result<qint32> serialOfCurrentDrive() const override;

    // What is known about one volume.
    struct VolumeFacts
    {
        QString type;                   // filesystem type as mountinfo names it
        QString device;                 // the mount's source, for messages
        QString uuid;                   // UUID as blkid prints it; empty when unknown
        std::optional<quint32> fsidLow; // low 32 bits of statvfs().f_fsid, when available
    };

    // The serial of a volume from its facts, as a signed number (the top bit is the sign).
    static Result<qint32> serialFromFacts(const VolumeFacts& facts);
    // "1234-ABCD" (hex, either case) gives 0x1234ABCD.
    static Result<quint32> parseFatVolumeId(const QString& uuid);
    // "0123456789ABCDEF" (16 hex digits, either case) gives 0x0123456789ABCDEF.
    static Result<quint64> parseNtfsSerial(const QString& uuid);
    // The name of the entry of `byUuidFolder` that leads to block device major:minor, with
    // udev's "\xHH" escapes decoded; empty when none does.
    static QString uuidOfDevice(unsigned major, unsigned minor,
                                const QString& byUuidFolder = QStringLiteral("/dev/disk/by-uuid"));
};

} // namespace tevo
