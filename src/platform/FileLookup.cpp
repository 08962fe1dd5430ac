#include "platform/FileLookup.h"

#include <QDir>
#include <QFileInfo>

namespace tevo {

QString lookUpFile(const QString& folder, const QString& name)
{
    const QString exact = folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    QDir dir(folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return exact;
}

} // namespace tevo
