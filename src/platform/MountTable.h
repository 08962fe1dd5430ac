#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace tevo {

// The mounts of this process's namespace, as /proc/self/mountinfo lists them.
class MountTable
{
public:
    struct Mount
    {
        unsigned major = 0; // the device that holds the filesystem
        unsigned minor = 0;
        QString root;       // the folder of that filesystem mounted here ("/" for all of it)
        QString mountPoint; // where it is mounted, escapes decoded
        QByteArray nativeMountPoint; // the same as the system spells it, for comparing paths
        QString type;                // "ext4", "vfat", "fuseblk", ...
        QString source;              // "/dev/sda1", ...
    };

    // Parses mountinfo text; lines that do not have its shape are skipped.
    static MountTable parse(const QByteArray& text);
    // Reads /proc/self/mountinfo; an empty table when it cannot be read.
    static MountTable current();

    struct Device
    {
        unsigned major = 0;
        unsigned minor = 0;
    };

    // The mount whose mount point is the longest leading folder sequence of the absolute `path`,
    // compared as the system spells both ("/srv" holds "/srv/garage" but not "/srvx"); of
    // several mounts on one point, the last listed, which hides the others. Given the device that
    // stat() reports for `path`, mounts of that device come first: a mount point that a later mount
    // above it hides is passed over. Without a mount of that device (a btrfs subvolume has a device
    // number of its own) the longest mount point wins.
    std::optional<Mount> mountHolding(const QByteArray& path,
                                      std::optional<Device> device = std::nullopt) const;

    const std::vector<Mount>& mounts() const { return m_mounts; }

private:
    std::vector<Mount> m_mounts;
};

} // namespace tevo
