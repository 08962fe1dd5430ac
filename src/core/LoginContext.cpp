#include "core/LoginContext.h"

#include "core/NumericText.h"
#include "core/SettingsApplications.h"
#include "platform/SettingsStore.h"
#include "resources/StringTable.h"

#include <utility>

namespace tevo {

Result<LoginContext> LoginContext::read(SettingsStore& store, const QString& section)
{
    LoginContext login;
    QString level;
    const std::pair<const char*, QString*> keys[] = {
        {"mx", &login.profileFolder},
        {"VA", &login.displayName},
        {"AAA", &level},
        {"r5", &login.hostDirectory},
    };
    for (const auto& [key, target] : keys) {
        const Result<std::optional<QString>> value =
            store.read(kSuiteApplication, section, QString::fromLatin1(key));
        if (!value) {
            return Result<LoginContext>::error(
                QStringLiteral("無法讀取登入資料「%1」，為免以錯誤的權限開啟，主目錄不開啟。\n%2")
                    .arg(QString::fromLatin1(key), value.error()));
        }
        *target = value.value().value_or(QString());
    }
    login.userLevel = userLevelFromText(level);
    return login;
}

QString welcomeLine(const QString& displayName)
{
    return QStringLiteral("歡迎 ") + trimSpaces(displayName) + QStringLiteral(" 進入本系統  ") +
           loadString(strings::kShortcutKeysHint);
}

} // namespace tevo
