#pragma once

#include "platform/Result.h"

#include <QString>

namespace tevo {

// One synchronous HTTP GET. A reply with any HTTP status is a reply (its value is the body's
// text); a transfer failure is an error whose message is the description and whose code() is
// the number (libcurl's code and text).
class [[nodiscard]] FetchResult : public Result<QString>
{
public:
    // No reply yet: an error without a number or a description.
    FetchResult() : Result<QString>(Result<QString>::error(QString())) {}

    static FetchResult reply(QString body) { return FetchResult(Result<QString>(std::move(body))); }
    static FetchResult failure(int number, QString description)
    {
        return FetchResult(Result<QString>::error(Status::failure(std::move(description), number)));
    }

private:
    explicit FetchResult(Result<QString> result) : Result<QString>(std::move(result)) {}
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
