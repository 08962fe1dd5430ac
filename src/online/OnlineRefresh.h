#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

class HttpFetcher;
class SettingsStore;

// The online refresh: asks the vendor service server for the latest version (tag "VW11:", stored
// under kLatestVersionKey) and then for the system notice (tag "通告:", stored under kNoticeKey),
// in the online application (kOnlineApplication), section = the working directory at the time
// of the call. A reply without
// its tag stores nothing and is not a failure. A transfer failure ends the refresh at once, with
// "number:description" as the error; what was stored before it stays. A settings write that
// fails ends it too, with the store's message.
class OnlineRefresh
{
public:
    OnlineRefresh(HttpFetcher& http, SettingsStore& store);

    // `customerCode` is the one held in memory; its first character goes with the notice fetch.
    Status run(const QString& serviceHost, const QString& section, const QString& customerCode);

private:
    Status fetchTagged(const QString& address, const QString& tag, const QString& section,
                       const QString& key);

    HttpFetcher& m_http;
    SettingsStore& m_store;
};

} // namespace tevo
