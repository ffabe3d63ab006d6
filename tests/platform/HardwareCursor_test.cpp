#include "platform/HardwareCursor.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{
TEST(ShowCursor, CountsLikeWindows)
{
    // The counter is process-wide: the callers' loops show the cursor until the counter is 0 or more and
    // hide it until it is below 0, which leaves it at -1 here.
    while (platform::ShowCursor(true) < 0)
    {
    }
    while (platform::ShowCursor(false) >= 0)
    {
    }
    ASSERT_EQ(platform::ShowCursor(true), 0);

    const struct
    {
        bool show;
        int expected;
    } calls[] = {{false, -1}, {false, -2}, {true, -1}, {true, 0},
                 {true, 1},   {true, 2},   {false, 1}, {false, 0}};
    for (const auto& call : calls)
    {
        EXPECT_EQ(platform::ShowCursor(call.show), call.expected) << (call.show ? "show" : "hide");
        EXPECT_EQ(platform::CursorDisplayCount(), call.expected);
    }
}

TEST(HardwareCursor, AFileThatCannotBeReadGivesANullHandleThatIsSafeToUse)
{
    LogCapture log;
    const platform::CursorHandle cursor = platform::LoadCursorFromFile("/nonexistent/arrow.cur");
    EXPECT_EQ(cursor, nullptr);
    EXPECT_TRUE(log.Contains("/nonexistent/arrow.cur", cl_Logger::LEVEL_ERROR));
    platform::SetCursor(cursor);
    platform::DestroyCursor(cursor);
}
} // namespace
