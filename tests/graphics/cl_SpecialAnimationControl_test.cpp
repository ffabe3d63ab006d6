#include "graphics/cl_SpecialAnimationControl.h"

#include "common/cl_SyncManager.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "support/HeroControlTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Events = std::vector<std::string>;

const float FRAME = 0.1f;
const char* const WAVE = "skeletal/special/wave";
const char* const BREATHE = "skeletal/idle/breathe";
const char* const TALK = "skeletal/talk"; // loops, 2 s

// The demo's hero with a special animation control "special" whose listener waits for each request.
class SpecialHero : public HeroControlTest<cl_SpecialAnimationControl>
{
protected:
    SpecialHero() { Add("special", ""); }

    void Play(const char* path)
    {
        m_control->SetCallbackPending(true);
        m_control->PlayAnimation(path);
    }
};

TEST_F(SpecialHero, AnAnimationFadesInFromItsStartPlaysToItsEndAndFadesOut)
{
    Play(WAVE);
    m_rig.Frames(1, FRAME);
    EXPECT_EQ(m_listener.m_events, (Events{"special 3", "special 0"}));
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(WAVE)->GetFadeTarget(), 1.0f);
    m_rig.Frames(40, FRAME);
    EXPECT_EQ(m_listener.m_events, (Events{"special 3", "special 0", "special 1", "special 5"}));
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(WAVE)->GetFadeTarget(), 0.0f);
    EXPECT_FALSE(m_control->IsActive());
    EXPECT_EQ(m_control->GetCurrentAnimation(), nullptr);
}

TEST_F(SpecialHero, WhatCannotPlayOrIsStoppedIsReported)
{
    const struct
    {
        const char* name;
        const char* path;
        bool stop; // Stop after the first frame
        Events events;
    } cases[] = {
        {"a path without clip fails at once", "skeletal/special/juggle", false, {"special 2"}},
        {"stopped while it plays", WAVE, true, {"special 3", "special 0", "special 4"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_hero->ResetControls();
        m_rig.Frames(1, FRAME);
        m_listener.m_events.clear();
        Play(c.path);
        m_rig.Frames(1, FRAME);
        if (c.stop)
            m_control->Stop();
        EXPECT_EQ(m_listener.m_events, c.events);
        EXPECT_EQ(m_control->GetCurrentAnimation(), nullptr);
    }
    m_listener.m_events.clear();
    m_control->Stop();
    EXPECT_TRUE(m_listener.m_events.empty()) << "an idle control reports nothing";
}

TEST_F(SpecialHero, ASecondRequestFollowsTheFirstAndAThirdReplacesIt)
{
    Play(WAVE);
    m_rig.Frames(1, FRAME);
    m_control->PlayAnimation(BREATHE);
    m_control->PlayAnimation("skeletal/talk");
    EXPECT_EQ(m_control->GetQueuedAnimation(), Clip("skeletal/talk"));
    m_rig.Frames(30, FRAME);
    EXPECT_EQ(m_control->GetCurrentAnimation(), Clip("skeletal/talk")) << "after the 2.5 s wave";
    EXPECT_LT(m_control->GetCurrentAnimation()->GetTimePosition(), 0.6f) << "from its start";
}

TEST_F(SpecialHero, APlayingLoopRunsOutAtItsEndAndTheLastRequestQueuedStartsFromItsBeginning)
{
    Play(TALK);
    m_rig.Frames(5, FRAME);
    m_control->PlayAnimation(WAVE);
    m_control->PlayAnimation(BREATHE);
    EXPECT_EQ(m_control->GetQueuedAnimation(), Clip(BREATHE)) << "the third request replaces the second";
    cl_PuppetMainAnimation* talk = Clip(TALK);
    float last = talk->GetTimePosition();
    bool wrapped = false;
    const int frames = m_rig.Frames(40, FRAME,
                                    [&]
                                    {
                                        if (m_control->GetCurrentAnimation() != talk)
                                            return true;
                                        wrapped = wrapped || talk->GetTimePosition() < last;
                                        last = talk->GetTimePosition();
                                        return false;
                                    });
    EXPECT_FALSE(wrapped) << "the loop went round again";
    EXPECT_FLOAT_EQ(talk->GetTimePosition(), talk->GetLength()) << "held at its end";
    EXPECT_LE(frames, 17) << "the 2 s loop ran on after its end";
    EXPECT_EQ(m_control->GetCurrentAnimation(), Clip(BREATHE));
    EXPECT_EQ(m_control->GetQueuedAnimation(), nullptr);
    EXPECT_LE(Clip(BREATHE)->GetTimePosition(), FRAME + 1e-4f) << "from its start";
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(TALK)->GetFadeTarget(), 0.0f);
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(BREATHE)->GetFadeTarget(), 1.0f);
}

TEST_F(SpecialHero, WithASyncTokenTheAnimationWaitsAtWeightZeroUntilItsGroupIsReady)
{
    cl_SyncManager sync;
    SyncToken theirs = sync.GetNewToken("bow");
    const SyncToken mine = sync.GetNewToken("bow");
    m_control->SetSyncToken(mine);
    Play(WAVE);
    m_rig.Frames(10, FRAME);
    EXPECT_TRUE(m_control->IsActive());
    EXPECT_EQ(m_control->GetCurrentAnimation(), Clip(WAVE));
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(WAVE)->GetEffectiveWeight(), 0.0f) << "before the group is ready";
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(WAVE)->GetFadeTarget(), 0.0f);
    EXPECT_EQ(m_listener.m_events, (Events{"special 0"})) << "no start told while waiting";
    EXPECT_TRUE(sync.HasToken(mine));

    sync.SetTokenReady(theirs);
    m_rig.Frames(2, FRAME);
    EXPECT_EQ(m_listener.m_events, (Events{"special 0", "special 3"}));
    EXPECT_FLOAT_EQ(m_hero->ResolveAnimPath(WAVE)->GetFadeTarget(), 1.0f);
    EXPECT_LE(Clip(WAVE)->GetTimePosition(), 2 * FRAME + 1e-4f) << "from its start";
    EXPECT_TRUE(m_control->GetSyncToken().IsNone()) << "the token is released as it starts";
    EXPECT_FALSE(sync.HasToken(mine));
    EXPECT_TRUE(sync.HasToken(theirs)) << "the other member keeps its own";

    m_rig.Frames(40, FRAME);
    EXPECT_EQ(m_listener.m_events, (Events{"special 0", "special 3", "special 1", "special 5"}));
    sync.ReleaseToken(theirs);
}
} // namespace
