#include "permissions/PermissionProfile.h"

#include "core/MainMenuView.h"
#include "core/NumericText.h"
#include "permissions/PermissionTable.h"
#include "platform/FileLookup.h"

#include <QFileInfo>

namespace tevo {

std::optional<QString> permissionProfilePath(const LoginContext& login,
                                             const SuitePathMapping& toLocal)
{
    // Host directory, folder text, the folder text without its first and last character,
    // ".INI": "/srv/garage" and "/權限/" give "/srv/garage/權限/權限.INI".
    const QString& folderText = login.profileFolder;
    if (folderText.size() < 2)
        return std::nullopt;
    const QString built = trimSpaces(login.hostDirectory) + folderText +
                          folderText.mid(1, folderText.size() - 2) + QStringLiteral(".INI");
    const QString mapped = toLocal ? toLocal(built) : built;
    const QString path = mapped.isEmpty() ? built : mapped;
    if (QFileInfo::exists(path))
        return path;
    // Only the file name may differ in letter case; a missing file keeps the built name.
    const QFileInfo info(path);
    const QString found = lookUpFile(info.path(), info.fileName());
    return QFileInfo::exists(found) ? found : path;
}

void applyPermissions(ProfileFiles& profiles, const LoginContext& login, MainMenuView& view,
                      const SuitePathMapping& toLocal)
{
    const std::optional<QString> file = permissionProfilePath(login, toLocal);
    const std::optional<QString> section = permissionSection(login.userLevel);
    if (!file || !section)
        return; // no profile or a level without a section: every area allowed
    // Every key is read afresh from the file, in the table's order; a refusal greys the menu
    // entry, then the button. Nothing is ever enabled here.
    for (const PermissionRow& row : permissionTable()) {
        if (!isAreaForbidden(profiles, *file, *section, QString::fromUtf8(row.key)))
            continue;
        view.setControlEnabled(QString::fromUtf8(row.menuEntry), false);
        if (row.button)
            view.setControlEnabled(QString::fromUtf8(row.button), false);
    }
}

} // namespace tevo
