#include "gui/PillarboxLayout.h"

#include <gtest/gtest.h>

namespace
{
constexpr float MIN_ASPECT = 4.0f / 3.0f;
constexpr float MAX_ASPECT = 1.6f;

TEST(PillarboxLayout, BarsKeepThePictureBetweenFourThirdsAnd1_6)
{
    const struct
    {
        const char* name;
        int width;
        int height;
        float side;
        float top;
    } cases[] = {
        {"16:9 gets side bars", 1280, 720, 0.05f, 0.0f},
        {"5:4 gets top and bottom bars", 1280, 1024, 0.0f, 0.03125f},
        {"1.5 gets none", 900, 600, 0.0f, 0.0f},
        {"exactly 4:3 gets none", 800, 600, 0.0f, 0.0f},
        {"exactly 1.6 gets none", 1280, 800, 0.0f, 0.0f},
        {"a viewport of no size yet gets none", 0, 0, 0.0f, 0.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const PillarboxLayout layout = PillarboxLayout::Compute(c.width, c.height, MIN_ASPECT, MAX_ASPECT);
        EXPECT_NEAR(layout.side, c.side, 1e-6f);
        EXPECT_NEAR(layout.top, c.top, 1e-6f);
    }
}

TEST(PillarboxLayout, BarsReachOnePixelBeyondTheScreen)
{
    const PillarboxLayout sides = PillarboxLayout::Compute(1280, 720, MIN_ASPECT, MAX_ASPECT);
    const float h = 1.0f / 720.0f;
    const float w = 1.0f / 1280.0f;
    EXPECT_NEAR(sides.left.left, -h, 1e-6f);
    EXPECT_NEAR(sides.left.top, -w, 1e-6f);
    EXPECT_NEAR(sides.left.width, 0.05f + 2 * h, 1e-6f);
    EXPECT_NEAR(sides.left.height, 1.0f + 2 * w, 1e-6f);
    EXPECT_NEAR(sides.right.left, 1.0f - 0.05f - h, 1e-6f);
    EXPECT_NEAR(sides.right.width, sides.left.width, 1e-6f);

    const PillarboxLayout lines = PillarboxLayout::Compute(1280, 1024, MIN_ASPECT, MAX_ASPECT);
    EXPECT_NEAR(lines.upper.height, 0.03125f + 2.0f / 1280.0f, 1e-6f);
    EXPECT_NEAR(lines.lower.top, 1.0f - 0.03125f - 1.0f / 1280.0f, 1e-6f);
    EXPECT_NEAR(lines.lower.width, 1.0f + 2.0f / 1024.0f, 1e-6f);
}
} // namespace
