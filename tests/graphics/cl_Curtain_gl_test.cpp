#include "graphics/cl_Curtain.h"

#include "support/LogCapture.h"
#include "support/OverlayWindow.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
// The curtain over a green window: what the middle pixel shows at each step of a close and an open.
TEST(CurtainWindow, TheCurtainTurnsTheWindowBlackThenClearAgain)
{
    LogCapture log;
    OverlayWindow window(80, 60);
    const Ogre::ColourValue green(0.2f, 0.8f, 0.4f);
    window.SetBackground(green);
    cl_Curtain curtain(nullptr);
    curtain.Create();
    const struct
    {
        const char* name;
        std::function<void()> step;
        // The share of black over the green.
        float black;
    } steps[] = {
        {"clear once made", [] {}, 0.0f},
        {"half way to black",
         [&]
         {
             curtain.FadeToBlack(1.0f);
             curtain.Update(0.0f);
             for (int update = 0; update < 5; ++update)
                 curtain.Update(0.1f);
         },
         0.5f},
        {"black", [&] { curtain.FadeToBlack(0.0f); }, 1.0f},
        {"clear again", [&] { curtain.FadeFromBlack(0.0f); }, 0.0f},
    };
    for (const auto& s : steps)
    {
        SCOPED_TRACE(s.name);
        s.step();
        window.Render();
        const Ogre::ColourValue seen = window.Pixel(40, 30);
        EXPECT_NEAR(seen.r, green.r * (1.0f - s.black), 0.03f);
        EXPECT_NEAR(seen.g, green.g * (1.0f - s.black), 0.03f);
        EXPECT_NEAR(seen.b, green.b * (1.0f - s.black), 0.03f);
    }
}
} // namespace
