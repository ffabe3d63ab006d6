#include "graphics/cl_AutoAnimationControl.h"

#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "platform/GameRand.h"
#include "support/DemoRig.h"
#include "support/LogCapture.h"
#include "support/StandInControls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace
{
using Paths = std::vector<std::string>;

const float FRAME = 0.1f;

// The rig's clips under one root "graph", with their lengths in seconds; "silent" names a clip the
// skeleton lacks, so its length is unknown.
const char* const GRAPH_PUPPET =
    R"(<puppet><submeshes><submesh meshfile="hero_body.mesh" name="body"/></submeshes>
    <animations><weight name="graph" value="1">
        <weight name="a1"><animation name="scratch"/></weight>
        <weight name="a2"><animation name="idle_look"/></weight>
        <weight name="b1"><animation name="turn_stand_90"/></weight>
        <weight name="c"><animation name="wave"/></weight>
        <weight name="x"><animation name="chain_start"/></weight>
        <weight name="y"><animation name="chain_end"/></weight>
        <weight name="loop"><animation name="chain_loop" loop="true"/></weight>
        <weight name="silent"><animation name="nosuchclip"/></weight>
    </weight></animations></puppet>)";

// A puppet with the graph's clips and an auto animation control "autoanim" in the visual state "S".
class AutoAnimation : public testing::Test
{
protected:
    AutoAnimation()
    {
        m_puppet = m_rig.MakePuppetOf("graph", GRAPH_PUPPET);
        m_rig.Owner().SetVisualState("S");
    }
    ~AutoAnimation() override { m_puppet.reset(); }

    // The puppet's own errors (the clip "silent" is missing) are forgotten.
    cl_AutoAnimationControl& Add(const std::string& xml)
    {
        m_log.Clear();
        m_lastClip = nullptr;
        m_control = &m_rig.Add<cl_AutoAnimationControl>(*m_puppet, "autoanim", xml, &m_listener);
        return *m_control;
    }
    const std::string& Playing() const { return m_control->GetCurrentRecord().path; }
    // The paths started during count frames, one entry per start (a clip that starts again counts again).
    Paths Starts(int count)
    {
        Paths starts;
        for (int frame = 0; frame < count; ++frame)
        {
            m_rig.Frames(1, FRAME);
            const cl_PuppetMainAnimation* clip = m_control->GetCurrentAnimation();
            if (clip && (clip != m_lastClip || clip->GetTimePosition() < m_lastTime))
                starts.push_back(Playing());
            m_lastClip = clip;
            m_lastTime = clip ? clip->GetTimePosition() : 0.0f;
        }
        return starts;
    }

    LogCapture m_log;
    DemoRig m_rig;
    std::unique_ptr<cl_ControlledPuppet> m_puppet;
    cl_AutoAnimationControl* m_control = nullptr;
    RecordingControlListener m_listener;
    // What Starts saw last.
    const cl_PuppetMainAnimation* m_lastClip = nullptr;
    float m_lastTime = 0.0f;
};

TEST_F(AutoAnimation, TheWorkedGraphsEnterThroughTheShortestChainAndLeaveThroughAnExitWhenAskedOff)
{
    // Entry: G1 enters S but leads only into G2, which names no state; through a1 (2 s) b1 (1 s) reaches
    // the supporting G3 after 3 s, through a2 (4 s) after 5 s.
    Add(R"(<autoanimctrl>
        <group name="G1"><visualstate name="S" enter="true"/>
            <animation path="graph/a1" nextgroup="G2"/><animation path="graph/a2" nextgroup="G2"/></group>
        <group name="G2"><animation path="graph/b1" nextgroup="G3"/></group>
        <group name="G3"><visualstate name="S"/><animation path="graph/c" nextgroup="G3"/></group>
        </autoanimctrl>)");
    EXPECT_EQ(Starts(45), (Paths{"graph/a1", "graph/b1", "graph/c"}));

    // Exit: c leads into G3, whose x leads into the exit G4 and y back into G3. Asked off while c plays,
    // the control plays c to its end, then x, and is done when x has ended.
    m_puppet = m_rig.MakePuppetOf("graph", GRAPH_PUPPET);
    Add(R"(<autoanimctrl>
        <group name="G0"><visualstate name="S" enter="true"/><animation path="graph/c" nextgroup="G3"/></group>
        <group name="G3"><visualstate name="S"/>
            <animation path="graph/x" nextgroup="G4"/><animation path="graph/y" nextgroup="G3"/></group>
        <group name="G4"><visualstate name="S" exit="true" supported="false"/></group>
        </autoanimctrl>)");
    auto stronger = std::make_unique<StandInControl>(500, 3);
    StandInControl& walk = *stronger;
    ASSERT_TRUE(m_puppet->AddControl("walk", std::move(stronger)));
    EXPECT_EQ(Starts(5), (Paths{"graph/c"}));
    walk.Want();
    EXPECT_EQ(Starts(23), (Paths{"graph/x"})) << "c (2.5 s) ends, x follows";
    EXPECT_TRUE(m_control->IsActive());
    EXPECT_EQ(walk.m_activations, 0);
    Starts(12);
    EXPECT_FALSE(m_control->IsActive()) << "x (1 s) has ended at an exit";
    EXPECT_EQ(walk.m_activations, 1);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(AutoAnimation, TheKeeperLiftsHisChainSwingsItAtLeastTwiceLowersItAndBeginsAgain)
{
    m_puppet = m_rig.MakePuppet("characters_keeper");
    m_rig.Owner().SetVisualState("default");
    Add(m_rig.ControlXml("characters_keeper", "autoanim"));
    platform::GameSrand(11);
    const Paths starts = Starts(250);
    ASSERT_GT(starts.size(), 8u);
    EXPECT_EQ(starts.front(), "skeletal/chain/start");
    size_t swings = 0;
    size_t rounds = 0;
    for (size_t index = 1; index < starts.size(); ++index)
    {
        const std::string& before = starts[index - 1];
        const std::string& now = starts[index];
        if (now == "skeletal/chain/loop")
            ++swings;
        else if (now == "skeletal/chain/end")
        {
            EXPECT_GE(swings, 2u) << "at least twice, by its minimum repeat";
            swings = 0;
        }
        else
        {
            EXPECT_EQ(now, "skeletal/chain/start");
            EXPECT_EQ(before, "skeletal/chain/end") << "a new round only after the chain was let down";
            ++rounds;
        }
    }
    EXPECT_GE(rounds, 1u);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR) + m_log.Count(cl_Logger::LEVEL_WARNING), 0u);
}

TEST_F(AutoAnimation, RepeatLimitsForceRepeatsAndForbidDirectOnes)
{
    Add(R"(<autoanimctrl>
        <group name="E"><visualstate name="S" enter="true"/><animation path="graph/b1" nextgroup="G1"/></group>
        <group name="G1"><visualstate name="S"/><animation path="graph/x" nextgroup="G2" minrepeat="3"/></group>
        <group name="G2"><visualstate name="S"/><animation path="graph/y" nextgroup="G1"/></group>
        </autoanimctrl>)");
    EXPECT_EQ(Starts(90), (Paths{"graph/b1", "graph/x", "graph/x", "graph/x", "graph/y", "graph/x", "graph/x",
                                 "graph/x", "graph/y"}));

    m_puppet = m_rig.MakePuppetOf("graph", GRAPH_PUPPET);
    Add(R"(<autoanimctrl><group name="G"><visualstate name="S" enter="true"/>
        <animation path="graph/x" nextgroup="G" maxrepeat="1"/><animation path="graph/y" nextgroup="G"/>
        </group></autoanimctrl>)");
    platform::GameSrand(7);
    const Paths starts = Starts(300);
    ASSERT_GT(starts.size(), 20u);
    for (size_t index = 1; index < starts.size(); ++index)
        EXPECT_FALSE(starts[index] == "graph/x" && starts[index - 1] == "graph/x") << index;
    EXPECT_GT(std::count(starts.begin(), starts.end(), "graph/y"), 3);
}

TEST_F(AutoAnimation, AStateChangeCutsOffAnAbortableAnimationWhileOthersPlayToTheirEnd)
{
    const struct
    {
        const char* abortable;
        Paths afterChange; // started in the second after the change
    } cases[] = {{"true", {"graph/x"}}, {"false", {}}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.abortable);
        m_puppet = m_rig.MakePuppetOf("graph", GRAPH_PUPPET);
        m_rig.Owner().SetVisualState("S");
        Add(std::string(R"(<autoanimctrl><group name="G"><visualstate name="S" enter="true"/>
            <animation path="graph/loop" nextgroup="G" abortable=")") +
            c.abortable + R"("/><animation path="graph/x" nextgroup="H"/></group>
            <group name="H"><visualstate name="T" exit="true"/></group></autoanimctrl>)");
        EXPECT_EQ(Starts(3), (Paths{"graph/loop"}));
        m_rig.Owner().SetVisualState("T");
        EXPECT_EQ(Starts(10), c.afterChange);
    }
}

TEST_F(AutoAnimation, AFixedTimeHoldsItsFrame)
{
    const struct
    {
        const char* fixedTime;
        float time;
        float scale;
    } cases[] = {{"end", 2.5f, 0.0f}, {"max", 2.5f, 0.0f}, {"0", 0.0f, 0.0f}, {"later", 1.0f, 1.0f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.fixedTime);
        m_puppet = m_rig.MakePuppetOf("graph", GRAPH_PUPPET);
        Add(std::string(R"(<autoanimctrl><group name="G"><visualstate name="S" enter="true"/>
            <animation path="graph/c" nextgroup="G" fixedtime=")") +
            c.fixedTime + R"("/></group></autoanimctrl>)");
        m_rig.Frames(10, FRAME);
        EXPECT_NEAR(m_control->GetCurrentAnimation()->GetTimePosition(), c.time, 0.01f);
        EXPECT_EQ(m_puppet->ResolveAnimPath("graph/c")->GetTimeScale(), c.scale);
    }
}

TEST_F(AutoAnimation, DisablingFadesTheAnimationOutAndEnablingBeforeTheNextUpdateEntersAfresh)
{
    cl_AutoAnimationControl& control =
        Add(R"(<autoanimctrl><group name="G"><visualstate name="S" enter="true"/>
            <animation path="graph/loop" nextgroup="G"/></group></autoanimctrl>)");
    m_rig.Frames(5, FRAME);
    control.SetEnabled(false);
    EXPECT_FLOAT_EQ(m_puppet->ResolveAnimPath("graph/loop")->GetFadeTarget(), 0.0f);
    control.SetEnabled(true);
    EXPECT_FLOAT_EQ(m_puppet->ResolveAnimPath("graph/loop")->GetFadeTarget(), 1.0f);
    EXPECT_FLOAT_EQ(control.GetCurrentAnimation()->GetTimePosition(), 0.0f) << "a fresh entry";
    control.SetEnabled(false);
    m_rig.Frames(1, FRAME);
    EXPECT_FALSE(control.IsActive());
}

TEST_F(AutoAnimation, ASearchThroughClipsOfUnknownLengthEnds)
{
    // silent has no clip of its own: its length counts 0, so the cycle through it cannot lower a cost.
    Add(R"(<autoanimctrl>
        <group name="E"><visualstate name="S" enter="true"/><animation path="graph/silent" nextgroup="L"/></group>
        <group name="L"><animation path="graph/silent" nextgroup="M"/></group>
        <group name="M"><animation path="graph/silent" nextgroup="L"/>
            <animation path="graph/nowhere" nextgroup="N" optional="true"/></group>
        <group name="N"><visualstate name="S"/></group></autoanimctrl>)");
    m_rig.Frames(2, FRAME);
    EXPECT_FALSE(m_control->IsActive()) << "N is never reached";
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u) << "an optional path without clip is left out quietly";
}

TEST_F(AutoAnimation, TheReaderSkipsIncompleteEntriesAndFlagsOnlyExactTrue)
{
    cl_AutoAnimationControl& control = Add(R"(<autoanimctrl>
        <group><animation path="graph/a1" nextgroup="G"/></group>
        <group name="G"><visualstate name="S"/><visualstate name="T" enter="TRUE" exit="true" supported="no"/>
            <visualstate enter="true"/><animation path="graph/a1"/><animation nextgroup="G"/>
            <animation path="graph/a2" nextgroup="G" frequency="3" minrepeat="x" abortable="True"/></group>
        <group name="G"><visualstate name="U"/><animation path="graph/b1" nextgroup="G" optional="true"/></group>
        </autoanimctrl>)");
    ASSERT_EQ(control.GetGroups().size(), 1u);
    const st_AutoAnimGroup& group = control.GetGroups().at("G");
    ASSERT_EQ(group.animations.size(), 1u) << "a second group of a name replaces the first one's content";
    EXPECT_TRUE(group.animations[0].optional);
    ASSERT_EQ(group.visualStates.count("U"), 1u);
    EXPECT_TRUE(group.visualStates.at("U").supported);
    EXPECT_FALSE(group.visualStates.at("U").enter);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 4u);
    EXPECT_TRUE(m_log.Contains("Skipping group missing mandatory argument!", cl_Logger::LEVEL_WARNING));
    EXPECT_TRUE(m_log.Contains("Skipping visualstate missing mandatory argument!", cl_Logger::LEVEL_WARNING));
    EXPECT_TRUE(m_log.Contains("Skipping animation missing mandatory argument!", cl_Logger::LEVEL_WARNING));

    control.FromXml(nullptr);
    EXPECT_TRUE(control.GetGroups().empty());
}

TEST(AutoAnimationReader, FlagsAndNumbersOfAnEntry)
{
    LogCapture log;
    DemoRig rig;
    auto puppet = rig.MakePuppetOf("graph", GRAPH_PUPPET);
    auto& control = rig.Add<cl_AutoAnimationControl>(*puppet, "autoanim", R"(<autoanimctrl>
        <group name="G"><visualstate name="T" enter="TRUE" exit="true" supported="no"/>
            <animation path="graph/a2" nextgroup="G" frequency="3" minrepeat="x" maxrepeat="2" abortable="True"
                fixedtime="0.5"/></group></autoanimctrl>)");
    const st_AutoAnimGroup& group = control.GetGroups().at("G");
    const st_AutoVisualState& state = group.visualStates.at("T");
    EXPECT_FALSE(state.enter);
    EXPECT_TRUE(state.exit);
    EXPECT_FALSE(state.supported);
    const st_AutoAnimation& animation = group.animations.at(0);
    EXPECT_EQ(animation.frequency, 3);
    EXPECT_EQ(animation.minRepeat, -1);
    EXPECT_EQ(animation.maxRepeat, 2);
    EXPECT_FALSE(animation.abortable);
    EXPECT_FLOAT_EQ(animation.fixedTime, 0.5f);
    std::set<std::string> states;
    control.CollectVisualStates(states);
    EXPECT_EQ(states, (std::set<std::string>{"T"}));
}
} // namespace
