#include "graphics/cl_TurnControl.h"

#include "common/XmlParse.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "support/LogCapture.h"
#include "support/StandInControls.h"
#include "support/WalkWorld.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Events = std::vector<std::string>;
using Ogre::Vector3;

const float FRAME = 1.0f / 20.0f;
const char* const STAND_TURNS = R"(<turnctrl>
    <turn type="stand" angle="0" anim="skeletal/turn/stand/0"/>
    <turn type="stand" angle="90" anim="skeletal/turn/stand/90"/>
    <turn type="stand" angle="180" anim="skeletal/turn/stand/180"/>
    <turn type="stand" angle="270" anim="skeletal/turn/stand/270"/>
    <turn type="stand" angle="360" anim="skeletal/turn/stand/0"/>
    <turn type="walk" angle="0" finalFeetPos="0.5"/>
    <turn type="walk" angle="90" anim="skeletal/turn/walk/90" finalFeetPos="0.25"/>
</turnctrl>)";

// A point 100 away from the origin at that angle from +z, measured as turns are: toward -x up to 180.
Vector3 AtAngle(float degrees)
{
    const Ogre::Radian angle{Ogre::Degree(degrees)};
    return Vector3(-Ogre::Math::Sin(angle), 0.0f, Ogre::Math::Cos(angle)) * 100.0f;
}

// The angle (degrees, -180 .. 180) the node's facing is turned from +z, toward -x positive.
float Facing(const Ogre::SceneNode& node)
{
    const Vector3 forward = node._getDerivedOrientation().zAxis();
    return Ogre::Radian(std::atan2(-forward.x, forward.z)).valueDegrees();
}

// The walker with a turn control "turn" that a recording listener hears.
class Turning : public testing::Test
{
protected:
    Turning() { Build(STAND_TURNS); }
    void Build(const char* turns)
    {
        m_turn = nullptr;
        m_puppet = m_world.MakePuppet();
        auto turn = std::make_unique<cl_TurnControl>();
        m_turn = turn.get();
        m_puppet->AddControl("turn", std::move(turn));
        m_turn->SetListener(&m_listener);
        TiXmlDocument document;
        ParseXml(document, turns, "a turn control");
        EXPECT_TRUE(m_turn->FromXml(document.RootElement()));
        m_turn->SetStandTolerances(Ogre::Degree(3.0f).valueRadians(), 5.0f);
        m_listener.m_events.clear();
    }
    void Turn(int type, float degrees, float toleranceDegrees = 0.0f)
    {
        m_turn->SetCallbackPending(true);
        m_turn->StartTurn(type, AtAngle(degrees), Ogre::Degree(toleranceDegrees).valueRadians());
    }
    // Frames until the turn is over (at most 5 s); the number run.
    int FinishTurn()
    {
        return m_world.Frames(100, FRAME, [this] { return !m_turn->IsTurnPending(); });
    }
    float Weight(const char* path) const { return m_puppet->ResolveAnimPath(path)->GetFadeTarget(); }
    cl_PuppetAnimation* Clip(const char* path) const
    {
        return m_puppet->ResolveAnimPath(path)->GetMainAnimation();
    }
    Ogre::SceneNode& Node() const { return *m_puppet->GetSceneNode(); }

    LogCapture m_log;
    WalkWorld m_world;
    std::unique_ptr<cl_ControlledPuppet> m_puppet;
    cl_TurnControl* m_turn = nullptr;
    RecordingControlListener m_listener;
};

TEST_F(Turning, AStandTurnBlendsTheTwoClipsAroundTheAngle)
{
    const char* const stand0 = "skeletal/turn/stand/0";
    const char* const stand90 = "skeletal/turn/stand/90";
    const char* const stand180 = "skeletal/turn/stand/180";
    const char* const stand270 = "skeletal/turn/stand/270";
    struct Case
    {
        const char* name;
        const char* turns;
        float degrees;
        std::map<std::string, float> weights;
    } cases[] = {
        {"45: half and half", STAND_TURNS, 45.0f, {{stand0, 0.5f}, {stand90, 0.5f}, {stand180, 0.0f}}},
        {"90: the 90 clip alone", STAND_TURNS, 90.0f, {{stand0, 0.0f}, {stand90, 1.0f}, {stand180, 0.0f}}},
        {"315 between 270 and the full turn", STAND_TURNS, 315.0f, {{stand270, 0.5f}, {stand0, 0.5f}}},
        {"beyond the last pair: held at its end",
         R"(<turnctrl><turn type="stand" angle="0" anim="skeletal/turn/stand/0"/>
            <turn type="stand" angle="90" anim="skeletal/turn/stand/90"/>
            <turn type="stand" angle="180" anim="skeletal/turn/stand/180"/></turnctrl>)",
         300.0f,
         {{stand90, 0.0f}, {stand180, 1.0f}}},
        {"a pair of one angle: the second alone",
         R"(<turnctrl><turn type="stand" angle="0" anim="skeletal/turn/stand/0"/>
            <turn type="stand" angle="90" anim="skeletal/turn/stand/90"/>
            <turn type="stand" angle="90" anim="skeletal/turn/stand/180"/></turnctrl>)",
         135.0f,
         {{stand90, 0.0f}, {stand180, 1.0f}}},
        {"angles falling: the lower entry alone",
         R"(<turnctrl><turn type="stand" angle="270" anim="skeletal/turn/stand/270"/>
            <turn type="stand" angle="90" anim="skeletal/turn/stand/90"/></turnctrl>)",
         45.0f,
         {{stand270, 1.0f}, {stand90, 0.0f}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build(c.turns);
        Turn(cl_TurnControl::TURN_STAND, c.degrees);
        m_world.Frames(1, 0.0f);
        EXPECT_EQ(m_listener.m_events, (Events{"turn 3", "turn 0"}));
        for (const auto& weight : c.weights)
            EXPECT_NEAR(Weight(weight.first.c_str()), weight.second, 1e-4f) << weight.first;
        FinishTurn();
        EXPECT_NEAR(Facing(Node()), c.degrees > 180.0f ? c.degrees - 360.0f : c.degrees, 0.5f);
        EXPECT_EQ(m_listener.m_events.back(), "turn 5");
    }
}

TEST_F(Turning, AStandTurnWithoutTwoClipsIsAMorph)
{
    for (const char* turns :
         {"<turnctrl/>", R"(<turnctrl><turn type="stand" angle="90" anim="skeletal/turn/stand/90"/>
                                                </turnctrl>)"})
    {
        SCOPED_TRACE(turns);
        Build(turns);
        Turn(cl_TurnControl::TURN_STAND, 120.0f);
        EXPECT_NEAR(FinishTurn() * FRAME, 0.25f, 0.06f);
        EXPECT_EQ(m_turn->GetFirstAnimation(), nullptr);
        EXPECT_NEAR(Facing(Node()), 120.0f, 0.01f);
        EXPECT_EQ(m_listener.m_events, (Events{"turn 3", "turn 0", "turn 1", "turn 5"}));
    }
}

TEST_F(Turning, AWalkTurnPlaysTheClosestEntry)
{
    struct Case
    {
        const char* name;
        const char* turns;
        float degrees;
        float finalFeetPosition;
    } cases[] = {
        {"355 is closer to 350 than to 0",
         R"(<turnctrl><turn type="walk" angle="0" finalFeetPos="0.1"/>
            <turn type="walk" angle="350" finalFeetPos="0.2"/></turnctrl>)",
         355.0f, 0.2f},
        {"of two as close the first",
         R"(<turnctrl><turn type="walk" angle="170" finalFeetPos="0.1"/>
            <turn type="walk" angle="170" finalFeetPos="0.2"/></turnctrl>)",
         180.0f, 0.1f},
        {"stand entries are not walk turns",
         R"(<turnctrl><turn type="stand" angle="90" finalFeetPos="0.3"/>
            <turn type="walk" angle="270" finalFeetPos="0.4"/></turnctrl>)",
         90.0f, 0.4f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build(c.turns);
        Turn(cl_TurnControl::TURN_WALK, c.degrees, 10.0f);
        m_world.Frames(1, 0.0f);
        EXPECT_EQ(m_turn->GetFinalFeetPosition(), c.finalFeetPosition);
        EXPECT_EQ(m_listener.m_events, (Events{"turn 3", "turn 0"})) << "started even without a clip";
    }

    Build(STAND_TURNS);
    Turn(cl_TurnControl::TURN_WALK, 80.0f, 10.0f);
    m_world.Frames(1, 0.0f);
    EXPECT_EQ(m_turn->GetFirstAnimation(), Clip("skeletal/turn/walk/90"));
    EXPECT_EQ(Weight("skeletal/turn/walk/90"), 1.0f);
    EXPECT_EQ(m_turn->GetFinalFeetPosition(), 0.25f);
    EXPECT_EQ(m_turn->GetFadeTime(), -1.0f) << "a walk turn's clips go with their own fade times";
}

TEST_F(Turning, WhereThereIsLittleRoomAWalkTurnEndsFacingItsPointExactly)
{
    struct Case
    {
        EnvironmentType environment;
        float facing; // after a walk turn toward 5 degrees, 10 tolerated
    } cases[] = {{ENVIRONMENT_OPEN, 0.0f}, {ENVIRONMENT_NARROW, 5.0f}, {ENVIRONMENT_TIGHT, 5.0f}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.environment);
        Build(STAND_TURNS);
        m_turn->SetEnvironmentType(c.environment);
        Turn(cl_TurnControl::TURN_WALK, 5.0f, 10.0f);
        EXPECT_NEAR(FinishTurn() * FRAME, 0.25f, 0.06f) << "a walk turn without clip is a morph";
        EXPECT_NEAR(Facing(Node()), c.facing, 0.01f);
    }
}

TEST_F(Turning, InATightPlaceAWalkTurnsClipDoesNotTurnTheBody)
{
    struct Case
    {
        EnvironmentType environment;
        float facingHalfway;
        float tolerance;
    } cases[] = {{ENVIRONMENT_OPEN, 40.0f, 10.0f}, {ENVIRONMENT_TIGHT, 0.0f, 0.01f}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.environment);
        Build(STAND_TURNS);
        m_turn->SetEnvironmentType(c.environment);
        Turn(cl_TurnControl::TURN_WALK, 90.0f, 10.0f);
        m_world.Frames(1, 0.0f);
        m_world.Frames(10, FRAME);
        EXPECT_NEAR(Facing(Node()), c.facingHalfway, c.tolerance);
    }
    // The clip still carries the walker forward; at the end the node faces the point from where it got.
    FinishTurn();
    const Vector3 toTarget = AtAngle(90.0f) - Node()._getDerivedPosition();
    EXPECT_NEAR(Facing(Node()), Ogre::Radian(std::atan2(-toTarget.x, toTarget.z)).valueDegrees(), 0.01f);
    EXPECT_GT(Node()._getDerivedPosition().z, 30.0f);
}

TEST_F(Turning, ATinyStandTurnIsAQuarterSecondMorphWithoutStart)
{
    Turn(cl_TurnControl::TURN_STAND, 2.0f);
    EXPECT_NEAR(FinishTurn() * FRAME, 0.25f, 0.06f);
    EXPECT_EQ(m_listener.m_events, (Events{"turn 0", "turn 1", "turn 5"}));
    EXPECT_NEAR(Facing(Node()), 2.0f, 0.01f) << "closed by the morph";
}

TEST_F(Turning, AStandingTurnThatIsDoneAlreadyEndsWithoutChannels)
{
    Turn(cl_TurnControl::TURN_STAND, 8.0f, 10.0f);
    m_world.Frames(1, FRAME);
    EXPECT_EQ(m_listener.m_events, Events{"turn 1"});
    EXPECT_FALSE(m_turn->IsTurnPending());
    EXPECT_NEAR(Facing(Node()), 0.0f, 0.01f) << "within the tolerance nothing turns";
}

TEST_F(Turning, ATurnFromAnOriginDrawsTheWalkerThere)
{
    m_turn->SetCallbackPending(true);
    m_turn->StartTurnFrom(Vector3(100, 0, 0), Vector3(2, 0, 0), 0.0f, 1.0f);
    FinishTurn();
    EXPECT_TRUE(Node()._getDerivedPosition().positionEquals(Vector3(100, 0, 0), 0.01f))
        << Node()._getDerivedPosition();
    EXPECT_NEAR(Facing(Node()), -90.0f, 0.01f) << "facing +x";
    EXPECT_EQ(m_listener.m_events.front(), "turn 3");
}

TEST_F(Turning, ANewTurnReplacesTheRunningOne)
{
    Turn(cl_TurnControl::TURN_STAND, 90.0f);
    m_world.Frames(3, FRAME);
    m_listener.m_events.clear();
    Turn(cl_TurnControl::TURN_STAND, 270.0f);
    EXPECT_EQ(m_listener.m_events, Events{"turn 3"}) << "started at once";
    EXPECT_GT(Weight("skeletal/turn/stand/270"), 0.5f);
    EXPECT_EQ(Weight("skeletal/turn/stand/90"), 0.0f);
    EXPECT_TRUE(m_puppet->ResolveAnimPath("skeletal/turn/stand/90")->IsFading());
    FinishTurn();
    EXPECT_NEAR(Facing(Node()), -90.0f, 0.01f);
}

TEST_F(Turning, AResetDropsTheTurnAtOnce)
{
    Turn(cl_TurnControl::TURN_STAND, 90.0f);
    m_world.Frames(3, FRAME);
    m_listener.m_events.clear();
    m_puppet->ResetControls();
    EXPECT_EQ(m_listener.m_events, Events{"turn 4"});
    EXPECT_FALSE(m_turn->IsTurnPending());
    EXPECT_EQ(m_turn->GetFirstAnimation(), nullptr);
    EXPECT_EQ(m_puppet->ResolveAnimPath("skeletal/turn/stand/90")->GetValue(), 0.0f);
    EXPECT_EQ(m_turn->GetFadeTime(), 0.2f);
    m_world.Frames(3, FRAME);
    EXPECT_EQ(m_listener.m_events, Events{"turn 4"}) << "nothing asks again";
}

TEST_F(Turning, TheElementGivesTheTable)
{
    const char* const element = R"(<turnctrl morphduration="0.5">
        <turn type="stand" angle="90" anim="a" finalFeetPos="0.3"/>
        <turn type="walk" angle="-45" anim="b"/>
        <turn type="jump" angle="10" anim="c"/>
        <turn angle="10" anim="d"/>
        <turn type="stand" anim="e"/>
        <turn type="stand" angle="wide" anim="f"/>
        <turn type="stand" angle="180"/>
    </turnctrl>)";
    TiXmlDocument document;
    ParseXml(document, element, "a turn control");
    m_log.Clear();
    ASSERT_TRUE(m_turn->FromXml(document.RootElement()));
    ASSERT_EQ(m_turn->GetStandTurns().size(), 2u);
    EXPECT_FLOAT_EQ(m_turn->GetStandTurns()[0].angle, Ogre::Math::HALF_PI);
    EXPECT_EQ(m_turn->GetStandTurns()[0].path, "a");
    EXPECT_FLOAT_EQ(m_turn->GetStandTurns()[0].finalFeetPosition, 0.3f);
    EXPECT_EQ(m_turn->GetStandTurns()[1].path, "") << "no anim: none";
    ASSERT_EQ(m_turn->GetWalkTurns().size(), 1u);
    EXPECT_FLOAT_EQ(m_turn->GetWalkTurns()[0].angle, -Ogre::Math::PI / 4.0f);
    EXPECT_EQ(m_turn->GetWalkTurns()[0].finalFeetPosition, 0.0f);
    EXPECT_EQ(m_turn->GetMorphDuration(), 0.5f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 4u) << "each entry left out is named";
    EXPECT_TRUE(m_log.Contains("Skipped a turn of the control 'turn' without a number in 'angle'."));

    TiXmlDocument again;
    ParseXml(again, R"(<turnctrl morphduration="long"/>)", "a turn control");
    EXPECT_TRUE(m_turn->FromXml(again.RootElement()));
    EXPECT_TRUE(m_turn->GetStandTurns().empty()) << "a new element replaces the table";
    EXPECT_EQ(m_turn->GetMorphDuration(), 0.5f) << "no number keeps it";
    EXPECT_FALSE(m_turn->FromXml(nullptr));
}
} // namespace
