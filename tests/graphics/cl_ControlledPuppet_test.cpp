#include "graphics/cl_ControlledPuppet.h"

#include "common/cl_Logger.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/PuppetXml.h"
#include "support/StandInControls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Events = std::vector<std::string>;

// A puppet with stand-in controls that a recording listener hears.
class Arbitration : public testing::Test
{
protected:
    Arbitration()
    {
        m_puppet.SetName("hero");
        m_puppet.SetActive(true);
    }
    StandInControl& Add(const std::string& name, int32_t priority, uint32_t mask)
    {
        auto control = std::make_unique<StandInControl>(priority, mask);
        StandInControl& added = *control;
        EXPECT_TRUE(m_puppet.AddControl(name, std::move(control)));
        added.SetListener(&m_listener);
        return added;
    }
    // One frame; what the listener heard in it.
    Events Frame(float dt = 0.1f)
    {
        m_listener.m_events.clear();
        m_puppet.Update(dt);
        return m_listener.m_events;
    }

    LogCapture m_log;
    HeadlessOgre m_ogre;
    cl_ControlledPuppet m_puppet{m_ogre.SceneManager()};
    RecordingControlListener m_listener;
};

TEST_F(Arbitration, AStrongerRequestTakesTheChannelsWithinOneFrame)
{
    StandInControl& idle = Add("idle", 100, 3);
    StandInControl& walk = Add("walk", 500, 3);
    idle.Want();
    EXPECT_EQ(Frame(), Events{"idle 0"});

    walk.Want();
    EXPECT_EQ(Frame(), (Events{"idle 5", "walk 0"}))
        << "the holder gives up in the pass after the first grant";
    EXPECT_TRUE(walk.IsActive());
    EXPECT_FALSE(idle.IsActive());
    EXPECT_EQ(walk.m_activeSteps, std::vector<float>{0.1f})
        << "admitted at the second grant, before the timed pass";

    EXPECT_EQ(Frame(), Events{}) << "the weaker one asks again and is refused";
    walk.Finish();
    EXPECT_EQ(Frame(), (Events{"walk 5", "idle 0"}));
}

TEST_F(Arbitration, WhoGetsTheChannels)
{
    struct Case
    {
        const char* name;
        int32_t holderPriority;
        uint32_t holderMask;
        int32_t newcomerPriority;
        uint32_t newcomerMask;
        bool newcomerGranted;
        bool holderKept;
    } cases[] = {
        {"equal priority: the holder keeps the channels", 500, 3, 500, 1, false, true},
        {"weaker: refused", 500, 3, 100, 2, false, true},
        {"stronger on other channels: both run", 100, 3, 500, 8, true, true},
        {"mask 0 conflicts with nothing", 500, 3, 50, 0, true, true},
        {"mask 0 beside a mask 0", 50, 0, 50, 0, true, true},
        {"stronger on a shared channel", 0, 1, 50, 3, true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        cl_ControlledPuppet puppet(m_ogre.SceneManager());
        puppet.SetActive(true);
        auto holder = std::make_unique<StandInControl>(c.holderPriority, c.holderMask);
        auto newcomer = std::make_unique<StandInControl>(c.newcomerPriority, c.newcomerMask);
        StandInControl& kept = *holder;
        StandInControl& added = *newcomer;
        puppet.AddControl("a", std::move(holder));
        puppet.AddControl("b", std::move(newcomer));
        kept.Want();
        puppet.Update(0.1f);
        ASSERT_TRUE(kept.IsActive());
        added.Want();
        for (int frame = 0; frame < 3; ++frame)
            puppet.Update(0.1f);
        EXPECT_EQ(added.IsActive(), c.newcomerGranted);
        EXPECT_EQ(kept.IsActive(), c.holderKept);
    }
}

TEST_F(Arbitration, OnlyTheLastRequestOfAControlStaysQueued)
{
    StandInControl& holder = Add("holder", 100, 3);
    StandInControl& other = Add("other", 0, 3);
    holder.Want();
    Frame();
    // A strong request replaced by a weak one never asks the holder off.
    other.RequestActivation(900, 3);
    other.RequestActivation(50, 3);
    EXPECT_EQ(Frame(), Events{});
    EXPECT_TRUE(holder.IsActive());
    EXPECT_FALSE(holder.IsDeactivationRequested());
}

TEST_F(Arbitration, ARequestOfAnActiveControlChangesNothing)
{
    StandInControl& walk = Add("walk", 500, 3);
    walk.Want();
    Frame();
    walk.RequestActivation(500, 3);
    EXPECT_EQ(Frame(), Events{});
    EXPECT_TRUE(walk.IsActive()) << "a refusal would have cleared its flag while its channels stay taken";
    walk.Finish();
    EXPECT_EQ(Frame(), Events{"walk 5"}) << "and it still gives them back";
    Add("idle", 0, 3).Want();
    EXPECT_EQ(Frame(), Events{"idle 0"});
}

TEST_F(Arbitration, DisablingAnActiveControlDeactivatesItInTheNextPass)
{
    StandInControl& idle = Add("idle", 0, 3);
    idle.SetEnabled(false);
    EXPECT_FALSE(idle.IsDeactivationRequested()) << "an inactive control is not asked off";
    idle.Want();
    EXPECT_EQ(Frame(), Events{}) << "a disabled control asks for nothing";

    idle.SetEnabled(true);
    EXPECT_EQ(Frame(), Events{"idle 0"});
    idle.SetEnabled(false);
    EXPECT_TRUE(idle.IsDeactivationRequested());
    EXPECT_EQ(Frame(), Events{"idle 5"});
    EXPECT_FALSE(idle.IsActive());
}

TEST_F(Arbitration, AChangeOfActivityResetsEveryControl)
{
    StandInControl& walk = Add("walk", 500, 3);
    StandInControl& face = Add("face", 50, 0);
    walk.Want();
    face.Want();
    Frame();
    walk.SetCallbackPending(true);
    m_listener.m_events.clear();

    m_puppet.SetActive(true);
    EXPECT_EQ(m_listener.m_events, Events{}) << "no change, no reset";
    m_puppet.SetActive(false);
    EXPECT_EQ(m_listener.m_events, Events{"walk 4"}) << "a waiting listener hears the reset";
    EXPECT_FALSE(walk.IsActive());
    EXPECT_FALSE(face.IsActive());

    EXPECT_EQ(Frame(), Events{}) << "an inactive puppet grants nothing";
    m_puppet.SetActive(true);
    EXPECT_EQ(Frame(), (Events{"walk 0", "face 0"}))
        << "the channels granted before were forgotten; strongest first";
}

TEST_F(Arbitration, GrantsAndReleasesAreTracedWithTheNames)
{
    StandInControl& walk = Add("walk", 500, 3);
    walk.Want();
    m_log.Clear();
    Frame();
    walk.Finish();
    Frame();
    const int trace = cl_Logger::LEVEL_INFO | cl_Logger::TOPIC_PUPPETCONTROL;
    EXPECT_TRUE(m_log.Contains("ON: 'walk' of 'hero'", trace));
    EXPECT_TRUE(m_log.Contains("OFF: 'walk' of 'hero'", trace));
}

TEST_F(Arbitration, ControlsAreOwnedByName)
{
    StandInControl& walk = Add("walk", 500, 3);
    EXPECT_EQ(walk.GetPuppet(), &m_puppet);
    EXPECT_EQ(walk.m_attachedTo, &m_puppet) << "told after its puppet is set";
    EXPECT_EQ(m_puppet.GetControl("walk"), &walk);
    EXPECT_EQ(m_puppet.GetControl("run"), nullptr);
    EXPECT_EQ(m_puppet.GetControlName(&walk), "walk");
    StandInControl stranger(0, 0);
    EXPECT_EQ(m_puppet.GetControlName(&stranger), "unknown");
    EXPECT_EQ(stranger.GetPuppet(), nullptr);

    std::unique_ptr<cl_PuppetControl> twin = std::make_unique<StandInControl>(0, 3);
    EXPECT_FALSE(m_puppet.AddControl("walk", std::move(twin)));
    ASSERT_NE(twin, nullptr) << "a control under a taken name stays with the caller";
    EXPECT_EQ(twin->GetPuppet(), nullptr);
    EXPECT_EQ(m_puppet.GetControlNames(), std::vector<std::string>{"walk"});
}

TEST_F(Arbitration, UnloadingDeletesTheControlsWhichGiveTheirWeightsBack)
{
    ReadPuppetXml(m_puppet, R"(<puppet><animations><weight name="body" value="1">
        <weight name="walk" value="0"/></weight></animations></puppet>)");
    StandInControl& walk = Add("walk", 500, 3);
    walk.Want();
    Frame();
    walk.SetWeight("body/walk", 1.0f, 0.0f);
    ASSERT_EQ(m_puppet.ResolveAnimPath("body/walk")->GetValue(), 1.0f);

    EXPECT_TRUE(m_puppet.DeleteControls());
    EXPECT_EQ(m_puppet.GetControlNames(), std::vector<std::string>{});
    EXPECT_EQ(m_puppet.ResolveAnimPath("body/walk")->GetFadeTarget(), 0.0f) << "given back at once";
    StandInControl& again = Add("walk", 500, 3);
    again.Want();
    EXPECT_EQ(Frame(), Events{"walk 0"}) << "the old grant is forgotten";

    m_puppet.Unload();
    EXPECT_EQ(m_puppet.GetControl("walk"), nullptr);
}
} // namespace
