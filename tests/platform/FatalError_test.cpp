#include "platform/FatalError.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{
TEST(ShowFatalError, WritesStandardErrorAndTheLog)
{
    LogCapture capture;
    testing::internal::CaptureStderr();
    platform::ShowFatalError("An exception has occured!", "100% broken: missing.mesh");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "An exception has occured!: 100% broken: missing.mesh\n");
    EXPECT_TRUE(
        capture.Contains("An exception has occured!: 100% broken: missing.mesh", cl_Logger::LEVEL_ERROR));
}
} // namespace
