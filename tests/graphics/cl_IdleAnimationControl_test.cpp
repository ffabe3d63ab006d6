#include "graphics/cl_IdleAnimationControl.h"

#include "graphics/IPuppetControlListener.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "platform/GameRand.h"
#include "support/HeroControlTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Events = std::vector<std::string>;

const float FRAME = 1.0f / 30.0f;
const char* const BREATHE = "skeletal/idle/breathe";
const char* const LOOK = "skeletal/idle/look";

// The demo's hero with an idle control "idle".
class IdleHero : public HeroControlTest<cl_IdleAnimationControl>
{
protected:
    cl_IdleAnimationControl& Add(const std::string& xml) { return HeroControlTest::Add("idle", xml); }
};

TEST_F(IdleHero, TheDrawPicksAnIdleByItsShareOfTheFrequencies)
{
    // In path order: breathe (1) takes r = 0, look (3) takes r = 1, 2 and 3.
    const struct
    {
        unsigned seed;
        int r; // the first draw % 4 after the seed
        const char* idle;
    } cases[] = {{3, 0, BREATHE}, {1, 1, LOOK}, {5, 2, LOOK}, {4, 3, LOOK}};
    cl_IdleAnimationControl& idle = Add(R"(<idlectrl name="idle">
        <idle path="skeletal/idle/look" frequency="3"/><idle path="skeletal/idle/breathe"/></idlectrl>)");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.r);
        m_hero->ResetControls();
        platform::GameSrand(c.seed);
        m_rig.Frames(1, FRAME);
        EXPECT_EQ(idle.GetCurrentIdle(), Clip(c.idle));
        EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(c.idle)->GetFadeTarget(), 1.0f);
    }
}

TEST_F(IdleHero, EachVisualStateHasItsIdlesAndAStateWithoutAnyLeavesTheHeroStillWithOneError)
{
    const float before = m_hero->ResolveAnimPath(BREATHE)->GetValue();
    cl_IdleAnimationControl& idle = Add(R"(<idlectrl name="idle">
        <idle path="skeletal/idle/breathe"/><idle path="skeletal/idle/look" mode="thinking"/></idlectrl>)");
    m_rig.Frames(2, FRAME);
    EXPECT_EQ(idle.GetCurrentIdle(), Clip(BREATHE));

    m_rig.Owner().SetVisualState("thinking");
    m_rig.Frames(2, FRAME);
    EXPECT_EQ(idle.GetCurrentIdle(), Clip(LOOK)) << "a new state picks anew";
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(BREATHE)->GetFadeTarget(), before) << "given back to what it was";
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);

    m_rig.Owner().SetVisualState("tired");
    m_rig.Frames(30, FRAME);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_TRUE(
        m_log.Contains("No idle animations matching visual state 'tired' exist! Character in T-Pose...",
                       cl_Logger::LEVEL_ERROR));
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(LOOK)->GetFadeTarget(), 0.0f) << "the last idle fades out";

    m_rig.Owner().SetVisualState("default");
    m_rig.Frames(1, FRAME);
    EXPECT_EQ(idle.GetCurrentIdle(), Clip(BREATHE));
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
}

TEST_F(IdleHero, AFixedTimeHoldsTheIdleThereAndAClipThatEndsIsPickedAgain)
{
    const struct
    {
        const char* fixedTime;
        float held; // -1: runs
    } cases[] = {{"end", 2.5f}, {"max", 2.5f}, {"0", 0.0f}, {"1.25", 1.25f}, {"soon", -1.0f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.fixedTime);
        Rebuild();
        cl_IdleAnimationControl& idle =
            Add(std::string(R"(<idlectrl><idle path="skeletal/special/wave" fixedtime=")") + c.fixedTime +
                "\"/></idlectrl>");
        m_rig.Frames(30, 0.1f);
        const cl_PuppetMainAnimation& wave = *idle.GetCurrentIdle();
        if (c.held >= 0.0f)
        {
            EXPECT_FLOAT_EQ(wave.GetTimePosition(), c.held);
            EXPECT_EQ(wave.GetOwner().GetTimeScale(), 0.0f);
        }
        else
        {
            // The 2.5 s wave ended and began again.
            EXPECT_NEAR(wave.GetTimePosition(), 0.5f, 0.11f);
            EXPECT_EQ(wave.GetOwner().GetTimeScale(), 1.0f);
        }
    }
}

TEST_F(IdleHero, AWaitingListenerHearsTheStartAndTheReset)
{
    cl_IdleAnimationControl& idle = Add(R"(<idlectrl><idle path="skeletal/idle/breathe"/></idlectrl>)");
    m_rig.Frames(1, FRAME);
    EXPECT_EQ(m_listener.m_events, (Events{"idle 0"})) << "no start told without a waiting listener";
    m_listener.m_events.clear();
    idle.SetCallbackPending(true);
    m_rig.Owner().SetVisualState("default");
    idle.StartRandomIdleAnimation();
    idle.Reset();
    EXPECT_EQ(m_listener.m_events, (Events{"idle 3", "idle 4"}));
    EXPECT_EQ(idle.GetCurrentIdle(), nullptr);
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(BREATHE)->GetValue(), 0.0f) << "back at once";
}

TEST_F(IdleHero, TheReaderKeepsWhatItCannotReadAndSkipsAnIdleWithoutPath)
{
    cl_IdleAnimationControl& idle = Add(R"(<idlectrl>
        <idle path="skeletal/idle/breathe" frequency="many" repeatable="FALSE" fixedtime=""/>
        <idle mode="thinking" frequency="4"/>
        <idle path="skeletal/idle/look" mode="" frequency="2" repeatable="false"/>
        <idle path="skeletal/idle/look" frequency="5"/></idlectrl>)");
    ASSERT_EQ(idle.GetIdleSets().size(), 1u);
    const st_IdleSet& defaults = idle.GetIdleSets().at("default");
    EXPECT_EQ(defaults.entries.at(BREATHE).frequency, 1);
    EXPECT_TRUE(defaults.entries.at(BREATHE).repeatable);
    EXPECT_FLOAT_EQ(defaults.entries.at(BREATHE).fixedTime, -1.0f);
    EXPECT_EQ(defaults.entries.at(LOOK).frequency, 5) << "the later idle changes the same entry";
    EXPECT_FALSE(defaults.entries.at(LOOK).repeatable);
    EXPECT_EQ(defaults.totalFrequency, 6);
    EXPECT_TRUE(m_log.Contains("without 'path'", cl_Logger::LEVEL_WARNING));

    idle.FromXml(nullptr);
    EXPECT_TRUE(idle.GetIdleSets().empty());
}

TEST_F(IdleHero, AllFrequenciesZeroCountAsNoIdles)
{
    Add(R"(<idlectrl><idle path="skeletal/idle/breathe" frequency="0"/></idlectrl>)");
    m_rig.Frames(3, FRAME);
    EXPECT_TRUE(
        m_log.Contains("No idle animations matching visual state 'default' exist!", cl_Logger::LEVEL_ERROR));
}

TEST_F(IdleHero, AnIdlePathWithoutClipIsAFailedChoice)
{
    cl_IdleAnimationControl& idle = Add(R"(<idlectrl><idle path="skeletal/idle/yawn"/></idlectrl>)");
    m_rig.Frames(10, FRAME);
    EXPECT_EQ(idle.GetCurrentIdle(), nullptr);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_TRUE(m_log.Contains("Choosing a random idle animation failed! Character in T-Pose...",
                               cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(m_log.Contains("The control 'idle' of 'characters_hero' names the animation path "
                               "'skeletal/idle/yawn', which leads to no clip.",
                               cl_Logger::LEVEL_WARNING))
        << "told when read";
}
} // namespace
