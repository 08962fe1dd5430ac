#include "platform/MountTable.h"

#include <QFile>
#include <QList>

namespace tevo {

namespace {

// mountinfo writes space, tab, newline and backslash in paths as "\" and three octal digits.
QByteArray unescapedField(const QByteArray& field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](qsizetype at) {
            return at < field.size() && field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            bytes.append(static_cast<char>(((field[i + 1] - '0') << 6) |
                                           ((field[i + 2] - '0') << 3) | (field[i + 3] - '0')));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    return bytes;
}

QString decodeField(const QByteArray& field)
{
    return QFile::decodeName(unescapedField(field));
}

bool isUnder(const QByteArray& path, const QByteArray& mountPoint)
{
    if (mountPoint == "/")
        return path.startsWith('/');
    return path.startsWith(mountPoint) &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

} // namespace

MountTable MountTable::parse(const QByteArray& text)
{
    MountTable table;
    for (const QByteArray& line : text.split('\n')) {
        // id parent major:minor root mount-point options [optional fields...] - type source ...
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf(QByteArray("-"));
        if (fields.size() < 6 || separator < 6 || separator + 2 >= fields.size())
            continue;
        const QList<QByteArray> device = fields[2].split(':');
        bool majorOk = false;
        bool minorOk = false;
        Mount mount;
        if (device.size() == 2) {
            mount.major = device[0].toUInt(&majorOk);
            mount.minor = device[1].toUInt(&minorOk);
        }
        if (!majorOk || !minorOk || !fields[4].startsWith('/'))
            continue;
        mount.root = decodeField(fields[3]);
        mount.nativeMountPoint = unescapedField(fields[4]);
        mount.mountPoint = QFile::decodeName(mount.nativeMountPoint);
        mount.type = decodeField(fields[separator + 1]);
        mount.source = decodeField(fields[separator + 2]);
        table.m_mounts.push_back(std::move(mount));
    }
    return table;
}

MountTable MountTable::current()
{
    // /proc files report a size of 0, so read to the end rather than by size.
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return MountTable();
    return parse(file.readAll());
}

std::optional<MountTable::Mount> MountTable::mountHolding(const QByteArray& path,
                                                          std::optional<Device> device) const
{
    const Mount* best = nullptr;
    const Mount* bestOfDevice = nullptr;
    const auto longer = [](const Mount& mount, const Mount* than) {
        return !than || mount.nativeMountPoint.size() >= than->nativeMountPoint.size();
    };
    for (const Mount& mount : m_mounts) {
        if (!isUnder(path, mount.nativeMountPoint))
            continue;
        if (longer(mount, best))
            best = &mount;
        if (device && mount.major == device->major && mount.minor == device->minor &&
            longer(mount, bestOfDevice))
            bestOfDevice = &mount;
    }
    if (bestOfDevice)
        return *bestOfDevice;
    if (!best)
        return std::nullopt;
    return *best;
}

} // namespace tevo
