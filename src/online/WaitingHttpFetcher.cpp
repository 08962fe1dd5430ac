#include "online/WaitingHttpFetcher.h"

#include "platform/ForegroundWait.h"

namespace tevo {

WaitingHttpFetcher::WaitingHttpFetcher(HttpFetcher& transfer, ForegroundWait& wait)
    : m_transfer(transfer), m_wait(wait)
{
}

FetchResult WaitingHttpFetcher::get(const QString& url)
{
    if (m_waiting) {
        return FetchResult::failure(kAnotherRequestWaiting,
                                    QStringLiteral("前一個網路要求尚未結束，請稍後再試"));
    }
    m_waiting = true;
    FetchResult result;
    // The worker gets its own copy of the address; the result is read only after the wait has
    // seen the worker finish.
    m_wait.runWhileWaiting([this, address = url, &result] { result = m_transfer.get(address); });
    m_waiting = false;
    return result;
}

} // namespace tevo
