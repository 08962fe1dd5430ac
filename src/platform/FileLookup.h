#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tevo {

// The path of the file `name` in `folder`: the exact name when it exists, else the first entry
// of the folder whose name matches without regard to letter case (names the design gives come
// from a platform that ignores case), else the exact path, which does not exist.
QString lookUpFile(const QString& folder, const QString& name);
// The same for a folder given as the system spells it (bytes, whatever their encoding); the
// path is spelt so too, for file operations.
QByteArray lookUpFile(const QByteArray& folder, const QString& name);

// The names of the entries of `folder` (bytes as the system spells them, "." and ".." left
// out) in byte order; none when it cannot be listed.
QList<QByteArray> folderEntries(const QByteArray& folder);

// Whether something exists at `path` (as the system spells it), following a link.
bool pathExists(const QByteArray& path);

// `name` in `folder`, both as the system spells them.
QByteArray pathInFolder(const QByteArray& folder, const QByteArray& name);

} // namespace tevo
