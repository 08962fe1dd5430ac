#include "online/WaitingHttpFetcher.h"

#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

// The transfer runs inside the wait and its reply comes back to the caller; a request made
// while one waits (from an event handled during the wait) is refused and never reaches the
// transfer.
TEST(WaitingHttpFetcher, OneRequestAtATimeThroughTheWait)
{
    test::ScriptedHttpFetcher transfer;
    transfer.replies.insert("http://a/1", FetchResult::reply("VW11:1"));
    test::ThreadForegroundWait wait;
    WaitingHttpFetcher http(transfer, wait);
    FetchResult nested;
    wait.duringWait = [&] { nested = http.get("http://a/2"); };

    const FetchResult reply = http.get("http://a/1");

    EXPECT_TRUE(reply.ok);
    EXPECT_EQ(reply.body, "VW11:1");
    EXPECT_EQ(transfer.requests, QStringList{"http://a/1"});
    EXPECT_FALSE(nested.ok);
    EXPECT_EQ(nested.errorNumber, WaitingHttpFetcher::kAnotherRequestWaiting);
    EXPECT_EQ(wait.waits, 1);

    // Once the wait is over the next request runs.
    wait.duringWait = nullptr;
    EXPECT_EQ(http.get("http://a/3").errorNumber, transfer.fallback.errorNumber);
    EXPECT_EQ(transfer.requests.size(), 2);
}

} // namespace
} // namespace tevo
