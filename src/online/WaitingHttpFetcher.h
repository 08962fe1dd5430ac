#pragma once

#include "platform/HttpFetcher.h"

namespace tevo {

class ForegroundWait;

// An HttpFetcher that is synchronous for the window without freezing it: each request runs on
// `transfer` in a worker thread while the window's thread waits through `wait`. One request at a
// time: a request made while another waits is refused, never run in the background.
class WaitingHttpFetcher : public HttpFetcher
{
public:
    // The error number of a request refused because another one is waiting.
    static constexpr int kAnotherRequestWaiting = 2;

    WaitingHttpFetcher(HttpFetcher& transfer, ForegroundWait& wait);

    FetchResult get(const QString& url) override;

private:
    HttpFetcher& m_transfer;
    ForegroundWait& m_wait;
    bool m_waiting = false;
};

} // namespace tevo
