#include "graphics/cl_PuppetControl.h"

#include "common/XmlParse.h"
#include "common/cl_SyncManager.h"
#include "graphics/PuppetPose.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "graphics/cl_VisualStateHolder.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/PrintedXml.h"
#include "support/PuppetXml.h"
#include "support/StandInControls.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Events = std::vector<std::string>;

// A stand-in control "walk" on a puppet with a small weight tree and a pose, active after one frame.
class ControlEdits : public testing::Test
{
protected:
    ControlEdits()
    {
        m_puppet.SetName("hero");
        ReadPuppetXml(m_puppet, R"(<puppet><animations>
            <weight name="body" value="1">
                <weight name="walk" value="0.25" in="0.5" out="2"><weight name="legs" value="1"/></weight>
                <weight name="idle" value="1"/>
            </weight></animations><poses><pose name="blink"/></poses></puppet>)");
        auto control = std::make_unique<StandInControl>(500, 3);
        m_walk = control.get();
        m_puppet.AddControl("walk", std::move(control));
        m_walk->SetListener(&m_listener);
        m_puppet.SetActive(true);
    }
    void Activate()
    {
        m_walk->Want();
        m_puppet.Update(0.0f);
        ASSERT_TRUE(m_walk->IsActive());
    }
    cl_PuppetAnimWeight& Node(const char* path) { return *m_puppet.ResolveAnimPath(path); }

    LogCapture m_log;
    HeadlessOgre m_ogre;
    cl_ControlledPuppet m_puppet{m_ogre.SceneManager()};
    StandInControl* m_walk = nullptr;
    RecordingControlListener m_listener;
};

TEST_F(ControlEdits, AReleaseGivesBackWhatWasThereBeforeTheFirstChange)
{
    Activate();
    m_walk->SetWeight("body/walk", 1.0f, 0.0f);
    m_walk->SetWeight("body/walk", 0.5f, 0.0f);
    m_walk->SetPoseWeight(m_puppet.GetPose("blink"), 0.75f, 0.0f);
    m_walk->SetPoseWeight(m_puppet.GetPose("blink"), 1.0f, 0.0f);
    EXPECT_EQ(Node("body/walk").GetValue(), 0.5f);

    m_walk->SetFadeTime(0.0f);
    m_walk->ReleaseWeights();
    EXPECT_EQ(Node("body/walk").GetValue(), 0.25f) << "the first recorded value, not the second";
    EXPECT_EQ(m_puppet.GetPose("blink")->GetWeight(), 0.0f);

    // Nothing is recorded any more: a second release changes nothing.
    Node("body/walk").SetTarget(0.75f, 0.0f);
    m_walk->ReleaseWeights();
    EXPECT_EQ(Node("body/walk").GetValue(), 0.75f);
}

TEST_F(ControlEdits, AFadingNodeIsRecordedWithItsTarget)
{
    Node("body/walk").SetTarget(0.8f, 1.0f);
    Activate();
    m_walk->SetWeight("body/walk", 0.0f, 0.0f);
    m_walk->SetFadeTime(0.0f);
    m_walk->ReleaseWeights();
    EXPECT_EQ(Node("body/walk").GetValue(), 0.8f);
}

TEST_F(ControlEdits, AReleaseTakesTheFadeTime)
{
    struct Case
    {
        const char* name;
        float fadeTime;
        float valueAfterHalfASecond;
    } cases[] = {
        {"0 jumps", 0.0f, 0.25f},
        {"1 s fades linearly", 1.0f, 0.625f},
        {"-1 takes the node's own fade-out time", -1.0f, 0.8125f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Activate();
        m_walk->SetWeight("body/walk", 1.0f, 0.0f);
        m_walk->SetFadeTime(c.fadeTime);
        m_walk->ReleaseWeights();
        Node("body").Update(0.5f);
        EXPECT_FLOAT_EQ(Node("body/walk").GetValue(), c.valueAfterHalfASecond);
        Node("body/walk").SetTarget(0.25f, 0.0f);
        m_walk->Finish();
        m_puppet.Update(0.0f);
    }
}

TEST_F(ControlEdits, AnInactiveControlChangesNothingAndIsNamed)
{
    m_log.Clear();
    m_walk->SetWeight("body/walk", 1.0f, 0.0f);
    m_walk->SetTime("body/walk", 1.0f);
    m_walk->SetPoseWeight(m_puppet.GetPose("blink"), 1.0f, 0.0f);
    EXPECT_EQ(Node("body/walk").GetValue(), 0.25f);
    EXPECT_EQ(m_puppet.GetPose("blink")->GetWeight(), 0.0f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 3u);
    EXPECT_TRUE(m_log.Contains("The inactive control 'walk' tried to change the animation tree!",
                               cl_Logger::LEVEL_ERROR));

    m_walk->SetFadeTime(0.0f);
    m_walk->ReleaseWeights();
    EXPECT_EQ(Node("body/walk").GetValue(), 0.25f) << "nothing was recorded";
}

TEST_F(ControlEdits, TimeScalesFreezeAndComeBack)
{
    Activate();
    // Without a model the animation is only a weight node's: its owner is what the flag changes.
    cl_PuppetMainAnimation& clip = Node("body/idle").AddMainAnimation(m_puppet);
    m_walk->SetRunning(&clip, false);
    m_walk->SetRunning(&clip, true);
    EXPECT_EQ(Node("body/idle").GetTimeScale(), 1.0f);
    m_walk->SetRunning(&clip, false);
    EXPECT_EQ(Node("body/idle").GetTimeScale(), 0.0f);
    m_walk->ReleaseWeights();
    EXPECT_EQ(Node("body/idle").GetTimeScale(), 1.0f);
}

TEST_F(ControlEdits, AResetReportsAWaitingListenerOnce)
{
    Activate();
    m_walk->SetWeight("body/walk", 1.0f, 0.0f);
    m_walk->SetEnabled(false);
    m_walk->SetCallbackPending(true);
    m_listener.m_events.clear();

    m_walk->Reset();
    m_walk->Reset();
    EXPECT_EQ(m_listener.m_events, Events{"walk 4"});
    EXPECT_FALSE(m_walk->IsActive());
    EXPECT_TRUE(m_walk->IsEnabled());
    EXPECT_FALSE(m_walk->IsDeactivationRequested());
    EXPECT_EQ(Node("body/walk").GetValue(), 0.25f) << "given back at once";
    EXPECT_EQ(m_walk->GetFadeTime(), -1.0f) << "the fade time is kept";

    // Without a listener nothing is told and the control still owes its report.
    m_walk->SetListener(nullptr);
    m_walk->SetCallbackPending(true);
    m_walk->Reset();
    EXPECT_TRUE(m_walk->IsCallbackPending());
}

TEST_F(ControlEdits, ReportsGoToTheListenerAndANewListenerReplacesTheOld)
{
    RecordingControlListener next;
    m_walk->ReportDone();
    EXPECT_EQ(m_listener.m_events, Events{}) << "nothing owed";
    m_walk->SetCallbackPending(true);
    m_walk->ReportDone();
    m_walk->ReportDone();
    EXPECT_EQ(m_listener.m_events, Events{"walk 1"});

    m_walk->SetListener(&next);
    EXPECT_EQ(m_listener.m_events, (Events{"walk 1", "walk 6"}));
    m_walk->SetListener(&next);
    EXPECT_EQ(next.m_events, Events{}) << "the same listener again is no replacement";
}

TEST_F(ControlEdits, TheGameStateKeepsTheEnabledFlag)
{
    struct Case
    {
        const char* name;
        const char* element;
        bool enabledBefore;
        bool enabledAfter;
    } cases[] = {
        {"true", R"(<control enabled="true"/>)", false, true},
        {"false", R"(<control enabled="false"/>)", true, false},
        {"another text counts as false", R"(<control enabled="TRUE"/>)", true, false},
        {"no flag keeps it enabled", R"(<control/>)", true, true},
        {"no flag keeps it disabled", R"(<control/>)", false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TiXmlDocument document;
        ParseXml(document, c.element, "a control's state");
        m_walk->SetEnabled(c.enabledBefore);
        m_walk->LoadState(*document.RootElement());
        EXPECT_EQ(m_walk->IsEnabled(), c.enabledAfter);
    }

    TiXmlElement state("control");
    m_walk->SetEnabled(false);
    m_walk->SaveState(state);
    EXPECT_EQ(PrintedXml(&state), R"(<control enabled="false" />)");
}

TEST_F(ControlEdits, TheDescriptionShowsWhetherAListenerWaits)
{
    Activate();
    TiXmlElement idle("control");
    m_walk->SaveToXml(idle);
    EXPECT_EQ(PrintedXml(&idle), R"(<control enabled="true" active="true" />)");
    m_walk->SetCallbackPending(true);
    TiXmlElement waiting("control");
    m_walk->SaveToXml(waiting);
    EXPECT_EQ(PrintedXml(&waiting), R"(<control enabled="true" active="true" callback="requested" />)");
}

TEST_F(ControlEdits, TheVisualStateIsTheOwners)
{
    EXPECT_EQ(m_walk->GetVisualStateName(), "default");
    cl_VisualStateHolder owner;
    m_walk->SetOwner(&owner);
    EXPECT_EQ(m_walk->GetVisualStateName(), "default") << "a holder that never entered a state";
    owner.SetVisualState("tired");
    EXPECT_EQ(m_walk->GetVisualStateName(), "tired");
    m_walk->SetOwner(nullptr);
}

TEST_F(ControlEdits, AJobWaitsForItsSyncGroup)
{
    cl_SyncManager sync;
    EXPECT_FALSE(m_walk->IsWaitingForSync()) << "without token";
    SyncToken mine = sync.GetNewToken("bow");
    SyncToken theirs = sync.GetNewToken("bow");
    m_walk->SetSyncToken(mine);
    m_puppet.Update(0.0f);
    EXPECT_TRUE(m_walk->IsWaitingForSync());
    sync.SetTokenReady(mine);
    sync.SetTokenReady(theirs);
    EXPECT_TRUE(m_walk->IsWaitingForSync()) << "until the next pass looks";
    m_puppet.Update(0.0f);
    EXPECT_FALSE(m_walk->IsWaitingForSync());
    sync.ReleaseToken(theirs);
    sync.ReleaseToken(m_walk->GetSyncToken());
    EXPECT_TRUE(m_walk->GetSyncToken().IsNone());
}
} // namespace
