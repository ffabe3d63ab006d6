#include "graphics/cl_AutoActionControl.h"

#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "platform/GameRand.h"
#include "support/HeroControlTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace
{
using Events = std::vector<std::string>;

const char* const SCRATCH = "skeletal/auto/scratch";
const char* const WAVE = "skeletal/special/wave";

// The demo's hero with an auto action control "autoaction".
class ActingHero : public HeroControlTest<cl_AutoActionControl>
{
protected:
    cl_AutoActionControl& Add(const std::string& xml) { return HeroControlTest::Add("autoaction", xml); }
};

TEST_F(ActingHero, TheTimerTriggersOnlyPastItsTimeAndTheActionIsAskedForInTheNextUpdate)
{
    cl_AutoActionControl& action = Add(
        R"(<autoactionctrl triggertime="1"><action type="animation" path="skeletal/auto/scratch"/></autoactionctrl>)");
    m_rig.Frames(4, 0.25f);
    EXPECT_FLOAT_EQ(action.GetTimer(), 1.0f);
    EXPECT_FALSE(action.IsPending()) << "a timer at exactly the trigger time does not trigger";
    m_rig.Frames(1, 0.25f);
    EXPECT_TRUE(action.IsPending());
    EXPECT_FALSE(action.IsActive()) << "asked for from the next update on";
    m_rig.Frames(1, 0.25f);
    EXPECT_TRUE(action.IsActive());
    EXPECT_EQ(action.GetCurrentAnimation(), Clip(SCRATCH));
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(SCRATCH)->GetFadeTarget(), 1.0f);

    // The 2 s scratch plays to its end, then the control gives the body back and the timer starts again.
    const int frames = m_rig.Frames(20, 0.25f, [&action] { return !action.IsActive(); });
    EXPECT_NEAR(frames * 0.25f, 2.0f, 0.25f);
    EXPECT_EQ(m_listener.m_events, (Events{"autoaction 0", "autoaction 5"}));
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(SCRATCH)->GetFadeTarget(), 0.0f);
    EXPECT_FLOAT_EQ(action.GetTimer(), 0.25f) << "counting from the pass the action ended in";
}

TEST_F(ActingHero, TheActionIsDrawnFromTheGroupOfTheStateAtGrantTime)
{
    const struct
    {
        const char* state;  // at grant time
        const char* played; // null: nothing
    } cases[] = {{"default", SCRATCH}, {"waving", WAVE}, {"tired", nullptr}};
    cl_AutoActionControl& action = Add(R"(<autoactionctrl auto="false">
        <action type="animation" path="skeletal/auto/scratch"/>
        <action type="animation" path="skeletal/special/wave" mode="waving"/></autoactionctrl>)");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.state);
        m_hero->ResetControls();
        m_rig.Owner().SetVisualState("default");
        action.TriggerAction();
        m_rig.Owner().SetVisualState(c.state);
        m_rig.Frames(1, 0.1f);
        EXPECT_EQ(action.GetCurrentAnimation(), c.played ? Clip(c.played) : nullptr);
        m_rig.Frames(1, 0.1f);
        EXPECT_EQ(action.IsActive(), c.played != nullptr) << "nothing played: done at the next update";
    }
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    EXPECT_FLOAT_EQ(action.GetTimer(), 0.0f) << "without the automatic switch the timer stands still";
}

TEST_F(ActingHero, AnActionOfFrequencyZeroIsNeverChosenAndAGroupOfZerosIsAnError)
{
    cl_AutoActionControl& action = Add(R"(<autoactionctrl auto="false">
        <action type="animation" path="skeletal/auto/scratch" frequency="0"/>
        <action type="animation" path="skeletal/special/wave"/>
        <action type="animation" path="skeletal/special/bow" mode="bowing" frequency="0"/></autoactionctrl>)");
    for (unsigned seed = 1; seed <= 6; ++seed)
    {
        m_hero->ResetControls();
        platform::GameSrand(seed);
        action.TriggerAction();
        m_rig.Frames(1, 0.1f);
        EXPECT_EQ(action.GetCurrentAnimation(), Clip(WAVE)) << seed;
    }
    m_hero->ResetControls();
    m_rig.Owner().SetVisualState("bowing");
    action.TriggerAction();
    m_rig.Frames(2, 0.1f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_TRUE(m_log.Contains("Choosing a random action failed!", cl_Logger::LEVEL_ERROR));
    EXPECT_FALSE(action.IsActive());
}

TEST_F(ActingHero, ADisabledControlKeepsItsTriggerUntilItIsEnabled)
{
    cl_AutoActionControl& action =
        Add(R"(<autoactionctrl><action type="animation" path="skeletal/auto/scratch"/></autoactionctrl>)");
    action.SetEnabled(false);
    action.TriggerAction();
    m_rig.Frames(3, 0.1f);
    EXPECT_TRUE(action.IsPending());
    EXPECT_FALSE(action.IsActive());
    action.SetEnabled(true);
    m_rig.Frames(1, 0.1f);
    EXPECT_TRUE(action.IsActive());
}

TEST_F(ActingHero, AWaitingListenerHearsTheStartAndAResetDropsThePlayingAction)
{
    cl_AutoActionControl& action = Add(
        R"(<autoactionctrl auto="false"><action type="animation" path="skeletal/auto/scratch"/></autoactionctrl>)");
    action.SetCallbackPending(true);
    action.TriggerAction();
    m_rig.Frames(2, 0.1f);
    action.Reset();
    EXPECT_EQ(m_listener.m_events, (Events{"autoaction 3", "autoaction 0", "autoaction 4"}));
    EXPECT_EQ(action.GetCurrentAnimation(), nullptr);
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(SCRATCH)->GetValue(), 0.0f);
    EXPECT_FALSE(action.IsPending());
}

TEST_F(ActingHero, TheReaderMergesActionsOfOneModeAndPathAndSkipsWhatItCannotPlay)
{
    cl_AutoActionControl& action = Add(R"(<autoactionctrl auto="False" triggertime="soon">
        <action type="animation" path="skeletal/auto/scratch" frequency="2" repeatable="false"/>
        <action type="animation" path="skeletal/auto/scratch" frequency="5"/>
        <action type="sound" path="skeletal/special/wave"/>
        <action type="animation" mode="tired"/>
        <action type="animation" path="skeletal/special/wave" mode="waving" frequency="x"/></autoactionctrl>)");
    EXPECT_TRUE(action.IsAutomatic()) << "only exactly \"false\" switches the timer off";
    EXPECT_FLOAT_EQ(action.GetTriggerTime(), 15.0f);
    ASSERT_EQ(action.GetGroups().size(), 2u);
    const st_AutoActionGroup& defaults = action.GetGroups().at("default");
    ASSERT_EQ(defaults.entries.size(), 1u);
    EXPECT_EQ(defaults.entries.at(SCRATCH).frequency, 5);
    EXPECT_FALSE(defaults.entries.at(SCRATCH).repeatable);
    EXPECT_EQ(defaults.totalFrequency, 5);
    EXPECT_EQ(action.GetGroups().at("waving").entries.at(WAVE).frequency, 1);
    EXPECT_TRUE(m_log.Contains("without 'path'", cl_Logger::LEVEL_WARNING));
    std::set<std::string> states;
    action.CollectVisualStates(states);
    EXPECT_EQ(states, (std::set<std::string>{"default", "waving"}));
}
} // namespace
