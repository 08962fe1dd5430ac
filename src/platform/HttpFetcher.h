#pragma once

#include <QString>

namespace tevo {

// One synchronous HTTP GET. A reply with any HTTP status is a reply (its body is the text);
// a transfer failure carries a number and a description (libcurl's code and text).
struct FetchResult
{
    bool ok = false;
    QString body;
    int errorNumber = 0;
    QString errorDescription;

    static FetchResult reply(QString body) { return {true, std::move(body), 0, {}}; }
    static FetchResult failure(int number, QString description)
    {
        return {false, {}, number, std::move(description)};
    }
};

class HttpFetcher
{
public:
    virtual ~HttpFetcher() = default;
    // Returns when the reply has arrived or the time-out (60 s) has expired. The window's
    // fetcher (WaitingHttpFetcher) keeps the window painting meanwhile.
    virtual FetchResult get(const QString& url) = 0;
};

} // namespace tevo
