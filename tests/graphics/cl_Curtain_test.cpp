#include "graphics/cl_Curtain.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{
// Notes "B" for black and "C" for clear; may act while it is told.
struct Listener final : ICurtainListener
{
    void NotifyFadedToBlack() override
    {
        heard += "B";
        if (onNotify)
            onNotify();
    }
    void NotifyFadedIn() override
    {
        heard += "C";
        if (onNotify)
            onNotify();
    }
    std::string heard;
    std::function<void()> onNotify;
};

// Updates of dt until the listener hears something; 0 when nothing within 1000.
int UpdatesUntilHeard(cl_Curtain& curtain, const Listener& listener, float dt)
{
    for (int update = 1; update <= 1000; ++update)
    {
        curtain.Update(dt);
        if (!listener.heard.empty())
            return update;
    }
    return 0;
}
} // namespace

TEST(Curtain, ASecondsFadeAtSixtyFramesEndsOnTheSixtySecondUpdate)
{
    const struct
    {
        const char* name;
        bool toBlack;
        const char* heard;
    } cases[] = {{"to black", true, "B"}, {"from black", false, "C"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Listener listener;
        cl_Curtain curtain(&listener);
        curtain.Create();
        if (c.toBlack)
            curtain.FadeToBlack(1.0f);
        else
            curtain.FadeFromBlack(1.0f);
        // One step of 0.001 s, 60 of a frame to 0, then the report.
        EXPECT_EQ(UpdatesUntilHeard(curtain, listener, 1.0f / 60.0f), 62);
        EXPECT_EQ(listener.heard, c.heard);
        EXPECT_EQ(curtain.IsBlack(), c.toBlack);
        EXPECT_FLOAT_EQ(curtain.GetAlpha(), c.toBlack ? 1.0f : 0.0f);
    }
}

TEST(Curtain, ALongFrameAdvancesAFadeByATenthOfASecond)
{
    cl_Curtain curtain(nullptr);
    curtain.Create();
    curtain.FadeToBlack(1.0f);
    curtain.Update(0.5f);
    EXPECT_NEAR(curtain.GetAlpha(), 0.001f, 1e-5f) << "the first step";
    curtain.Update(0.5f);
    EXPECT_NEAR(curtain.GetAlpha(), 0.101f, 1e-5f);
}

TEST(Curtain, AFadeOfNoDurationIsReportedInsideTheCall)
{
    Listener listener;
    cl_Curtain curtain(&listener);
    curtain.Create();
    curtain.FadeToBlack(0.0f);
    EXPECT_EQ(listener.heard, "B");
    EXPECT_TRUE(curtain.IsBlack());
    curtain.FadeFromBlack(-1.0f);
    EXPECT_EQ(listener.heard, "BC");
    EXPECT_TRUE(curtain.IsClear());
}

TEST(Curtain, ATimedFadeStartsFromTheOtherEnd)
{
    cl_Curtain curtain(nullptr);
    curtain.Create();
    curtain.FadeToBlack(0.0f);
    curtain.FadeToBlack(1.0f);
    EXPECT_FLOAT_EQ(curtain.GetAlpha(), 0.0f) << "a black curtain turns clear first";
    EXPECT_TRUE(curtain.IsClear());
    curtain.FadeFromBlack(0.0f);
    curtain.FadeFromBlack(1.0f);
    EXPECT_FLOAT_EQ(curtain.GetAlpha(), 1.0f) << "a clear curtain turns black first";
    EXPECT_TRUE(curtain.IsFading());
}

TEST(Curtain, AListenerThatRemovesItselfDoesNotDisturbTheOthers)
{
    Listener first;
    Listener second;
    cl_Curtain curtain(&first);
    curtain.AddListener(&second);
    first.onNotify = [&] { curtain.RemoveListener(&first); };
    curtain.FadeToBlack(0.0f);
    curtain.FadeFromBlack(0.0f);
    EXPECT_EQ(first.heard, "B");
    EXPECT_EQ(second.heard, "BC");
}

TEST(Curtain, AHiddenCurtainKeepsItsStateAndShowsBlackAgain)
{
    cl_Curtain curtain(nullptr);
    curtain.Create();
    curtain.FadeToBlack(0.0f);
    curtain.SetShown(false);
    curtain.Update(0.0f);
    EXPECT_FALSE(curtain.IsOverlayVisible());
    EXPECT_TRUE(curtain.IsBlack());
    curtain.SetShown(true);
    curtain.Update(0.0f);
    EXPECT_TRUE(curtain.IsOverlayVisible());
    EXPECT_FLOAT_EQ(curtain.GetAlpha(), 1.0f);
}
