#include "graphics/cl_ShadowPane.h"

#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
TEST(ShadowPane, KeepsTheSquareOfItsAlphaWithinZeroAndOne)
{
    const HeadlessOgre ogre;
    cl_ShadowPane pane(10.0f, 10.0f);
    EXPECT_EQ(pane.GetAlpha(), 1.0f) << "at first";
    const struct
    {
        float alpha;
        float stored;
    } cases[] = {{0.5f, 0.25f},  {-2.0f, 1.0f}, {0.0f, 0.0f},
                 {-0.5f, 0.25f}, {1.5f, 1.0f},  {std::numeric_limits<float>::quiet_NaN(), 0.0f}};
    for (const auto& c : cases)
    {
        pane.SetAlpha(c.alpha);
        EXPECT_FLOAT_EQ(pane.GetAlpha(), c.stored) << c.alpha;
    }
}
TEST(ShadowPane, WithoutARenderSystemATextureIsOnlyLogged)
{
    const HeadlessOgre ogre;
    const LogCapture log;
    cl_ShadowPane pane(10.0f, 10.0f);
    pane.SetTexture("blob.png");
    pane.SetAlpha(0.5f);
    EXPECT_TRUE(log.Contains("A shadow pane cannot show 'blob.png' without a render system.",
                             cl_Logger::LEVEL_WARNING));
    EXPECT_FLOAT_EQ(pane.GetAlpha(), 0.25f);
}
} // namespace
