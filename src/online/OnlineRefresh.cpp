#include "online/OnlineRefresh.h"

#include "core/SettingsApplications.h"
#include "online/FetchConvention.h"
#include "online/WebAddresses.h"
#include "platform/HttpFetcher.h"
#include "platform/SettingsStore.h"

namespace tevo {

OnlineRefresh::OnlineRefresh(HttpFetcher& http, SettingsStore& store) : m_http(http), m_store(store)
{
}

Status OnlineRefresh::run(const QString& serviceHost, const QString& section,
                          const QString& customerCode)
{
    if (Status version = fetchTagged(versionFetchAddress(serviceHost), QStringLiteral("VW11:"),
                                     section, kLatestVersionKey);
        !version)
        return version;
    return fetchTagged(noticeFetchAddress(serviceHost, customerCode), QStringLiteral("通告:"),
                       section, kNoticeKey);
}

Status OnlineRefresh::fetchTagged(const QString& address, const QString& tag,
                                  const QString& section, const QString& key)
{
    const FetchResult reply = m_http.get(address);
    if (!reply)
        return Status::error(transferErrorText(reply));
    const std::optional<QString> value = valueAfterTag(reply.value(), tag);
    if (!value)
        return Status::ok();
    return m_store.write(kOnlineApplication, section, key, *value);
}

} // namespace tevo
