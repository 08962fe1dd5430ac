#include "core/LoginContext.h"

#include "core/NumericText.h"
#include "platform/SettingsStore.h"
#include "resources/StringTable.h"

namespace tevo {

LoginContext LoginContext::read(SettingsStore& store, const QString& section)
{
    const QString app = QStringLiteral("kelpan");
    LoginContext login;
    login.profileFolder = store.text(app, section, QStringLiteral("mx"));
    login.displayName = store.text(app, section, QStringLiteral("VA"));
    login.userLevel = userLevelFromText(store.text(app, section, QStringLiteral("AAA")));
    login.hostDirectory = store.text(app, section, QStringLiteral("r5"));
    return login;
}

QString welcomeLine(const QString& displayName)
{
    return QStringLiteral("歡迎 ") + trimSpaces(displayName) + QStringLiteral(" 進入本系統  ") +
           loadString(309);
}

} // namespace tevo
