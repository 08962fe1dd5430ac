#include "platform/FileLookup.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace tevo {

QString lookUpFile(const QString& folder, const QString& name)
{
    return QFile::decodeName(lookUpFile(QFile::encodeName(folder), name));
}

QByteArray lookUpFile(const QByteArray& folder, const QString& name)
{
    const QByteArray exact = pathInFolder(folder, QFile::encodeName(name));
    if (pathExists(exact))
        return exact;
    for (const QByteArray& entry : folderEntries(folder)) {
        if (QFile::decodeName(entry).compare(name, Qt::CaseInsensitive) == 0)
            return pathInFolder(folder, entry);
    }
    return exact;
}

QList<QByteArray> folderEntries(const QByteArray& folder)
{
    QList<QByteArray> entries;
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return entries;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            entries.append(name);
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool pathExists(const QByteArray& path)
{
    struct stat info;
    return ::stat(path.constData(), &info) == 0;
}

QByteArray pathInFolder(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

} // namespace tevo
