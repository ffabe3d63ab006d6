#include "platform/StopSignals.h"

#include <gtest/gtest.h>

#include <csignal>

namespace
{
TEST(StopSignals, AreNotedOnceInsteadOfEndingTheProgram)
{
    for (const int signal : {SIGINT, SIGTERM})
    {
        SCOPED_TRACE(signal);
        platform::CatchStopSignals();
        EXPECT_EQ(platform::TakeStopSignal(), 0);
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_EQ(platform::TakeStopSignal(), signal);
        EXPECT_EQ(platform::TakeStopSignal(), 0);
    }
}

TEST(StopSignalsDeathTest, ASecondOneEndsTheProgramAtOnce)
{
    EXPECT_EXIT(
        {
            platform::CatchStopSignals();
            std::raise(SIGTERM);
            std::raise(SIGTERM);
        },
        testing::KilledBySignal(SIGTERM), "");
}
} // namespace
