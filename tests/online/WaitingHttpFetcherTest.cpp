#include "online/WaitingHttpFetcher.h"

#include "support/Fakes.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace tevo {
namespace {

// A request made while one waits is refused and never reaches the transfer; the waiting one
// gets its reply, and the next one runs.
TEST(WaitingHttpFetcher, OneRequestAtATime)
{
    test::ScriptedHttpFetcher transfer;
    transfer.replies.insert("http://a/1", FetchResult::reply("VW11:1"));
    test::InlineForegroundWait wait;
    WaitingHttpFetcher http(transfer, wait);
    FetchResult nested;
    wait.duringWait = [&] { nested = http.get("http://a/2"); };

    EXPECT_EQ(http.get("http://a/1").value(), "VW11:1");
    EXPECT_EQ(nested.status().code(), WaitingHttpFetcher::kAnotherRequestWaiting);
    wait.duringWait = nullptr;
    static_cast<void>(http.get("http://a/3")); // only the request is looked at
    EXPECT_EQ(transfer.requests, (QStringList{"http://a/1", "http://a/3"}));
}

} // namespace
} // namespace tevo
