#include "platform/ImmediateExit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace tevo {
namespace {

TEST(ImmediateExitDeathTest, FlushesOutputAndSkipsDestructorsAndExitHandlers)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            struct Noisy
            {
                ~Noisy() { std::fputs(" destructor", stderr); }
            } noisy;
            std::atexit([] { std::fputs(" exit handler", stderr); });
            // Fully buffered: only a flush brings the text out.
            static char buffer[1024];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            std::fputs("written before the end", stderr);
            ImmediateExit().endNow();
        },
        ::testing::ExitedWithCode(0), ::testing::Eq(std::string("written before the end")));
}

} // namespace
} // namespace tevo
