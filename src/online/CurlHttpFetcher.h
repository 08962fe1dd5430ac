#pragma once

#include "platform/HttpFetcher.h"

#include <QByteArray>
#include <QString>

#include <chrono>

namespace tevo {

// HttpFetcher on libcurl: one synchronous GET on the calling thread, which may be any thread
// (the window's requests run on a worker thread). Only http and https are
// spoken, also after a redirect, and at most kMaxRedirects redirects are followed. The whole
// transfer, connection included, ends after the time-out. A reply with any HTTP status is a reply;
// a transfer failure carries libcurl's code and text ("28", "Timeout was reached"). A body over
// kMaxBodyBytes is a transfer failure (63, "Maximum file size exceeded"), never held in memory.
// libcurl itself is loaded by the first request (CurlLibrary); when it cannot be loaded every
// request is a transfer failure (2) whose text says so.
class CurlHttpFetcher : public HttpFetcher
{
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{60000};
    static constexpr qsizetype kMaxBodyBytes = 1024 * 1024;
    static constexpr long kMaxRedirects = 5;

    explicit CurlHttpFetcher(std::chrono::milliseconds timeout = kDefaultTimeout);

    FetchResult get(const QString& url) override;

private:
    std::chrono::milliseconds m_timeout;
};

// The address as it travels in the request line: UTF-8, with every byte that cannot stand there
// (blank, control characters, non-ASCII) written as %XX. Every other character is left as it is.
QByteArray requestLineAddress(const QString& url);

// The body as text: by the charset of the Content-Type when one is given and known, else as
// UTF-8 when the bytes are valid UTF-8, else as code page 950. Undecodable bytes become U+FFFD.
QString decodeBody(const QByteArray& body, const QByteArray& contentType);

} // namespace tevo
