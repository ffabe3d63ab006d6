#include "graphics/cl_Character.h"

#include "assets/ISyncedActionInitiator.h"
#include "common/XmlHelpers.h"
#include "common/XmlParse.h"
#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FaceControl.h"
#include "graphics/cl_FocusTargetControl.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_SpecialAnimationControl.h"
#include "graphics/cl_TurnControl.h"
#include "platform/GameRand.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/LogCapture.h"
#include "support/SceneDefinition.h"
#include "support/SceneWorld.h"
#include "support/WalkWorld.h"

#include <OgreCamera.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Calls = std::vector<std::string>;
using Ogre::Vector3;

const float FRAME = 1.0f / 30.0f;

// The walker's controls as a character file gives them: a walk turn of no clip straight ahead (a morph),
// and one of a clip to the right.
const char* const CONTROLS = R"(<controls><movectrl name="move"/><turnctrl name="turn">
    <turn type="walk" angle="0" finalFeetPos="0.5"/>
    <turn type="walk" angle="90" anim="skeletal/turn/walk/90"/>
    <turn type="walk" angle="360" finalFeetPos="0.5"/></turnctrl></controls>)";

// Notes what it is told, in order: "started", "done <result>".
class RecordingInitiator final : public ISyncedActionInitiator
{
public:
    explicit RecordingInitiator(const std::string& name = "walk") : m_name(name) {}

    void OnDone(int result) override { calls.push_back("done " + std::to_string(result)); }
    void OnStarted() override { calls.push_back("started"); }
    void TimeOut(float) override {}
    std::string GetName() const override { return m_name; }

    Calls calls;

private:
    std::string m_name;
};

// The walker as the character "hero" with its controls, on the test ground, which is narrow as a room.
class Walk : public testing::Test
{
protected:
    Walk() { Build(); }
    void Build()
    {
        m_hero = m_world.MakeCharacter(CONTROLS);
        m_hero->ApplySceneMovementSettings(ENVIRONMENT_NARROW, 1.0f);
    }
    // Frames until the initiator is told its result (at most 20 s); the number run.
    int UntilDone(const RecordingInitiator& initiator)
    {
        return m_world.Frames(600, FRAME, [&initiator] { return initiator.calls.size() == 2; });
    }
    Vector3 Position() const { return m_hero->GetSceneNode()->_getDerivedPosition(); }

    LogCapture m_log;
    WalkWorld m_world;
    std::unique_ptr<cl_Character> m_hero;
};

TEST_F(Walk, TheCharacterTurnsWalksAndArrivesOnce)
{
    struct Case
    {
        const char* name;
        Vector3 target;
    } cases[] = {{"straight ahead", Vector3(0, 0, 200)}, {"to the right", Vector3(-200, 0, 0)}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build();
        RecordingInitiator initiator;
        m_hero->MoveAlongPath(c.target, &initiator);
        EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_TURNING_BEFORE_WALK);
        m_world.Frames(1, FRAME);
        EXPECT_EQ(initiator.calls, Calls{"started"}) << "the turn has begun";
        UntilDone(initiator);
        EXPECT_EQ(initiator.calls, (Calls{"started", "done 0"}));
        // Within the arrival radius of the path's end, the walker as far beside the path as its steering let
        // it.
        EXPECT_LT(Position().distance(c.target), 60.0f) << Position();
        EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
        m_world.Frames(30, FRAME);
        EXPECT_EQ(initiator.calls.size(), 2u) << "told once";
        EXPECT_TRUE(m_log.Contains("'hero' finished action 'walk'!",
                                   cl_Logger::TOPIC_CHARACTER | cl_Logger::LEVEL_INFO));
    }
}

TEST_F(Walk, WhatTheWalkCannotDoEndsItAtOnce)
{
    struct Case
    {
        const char* name;
        Vector3 target;
        std::function<void(cl_Character&)> arrange;
        const char* result;
    } cases[] = {
        {"closer than the minimum walk distance", Vector3(0, 0, 49), [](cl_Character&) {}, "done 0"},
        {"no navigation mesh", Vector3(0, 0, 200), [](cl_Character& hero) { hero.SetNavmesh(nullptr); },
         "done 2"},
        {"the movement control disabled", Vector3(0, 0, 200),
         [](cl_Character& hero) { hero.GetPuppet()->GetControl("move")->SetEnabled(false); }, "done 2"},
        {"no turn control", Vector3(0, 0, 200), [](cl_Character& hero) { hero.SetTurnControl(nullptr); },
         "done 2"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build();
        c.arrange(*m_hero);
        RecordingInitiator initiator;
        m_hero->MoveAlongPath(c.target, &initiator);
        EXPECT_EQ(initiator.calls, (Calls{"started", c.result}));
        EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
        m_world.Frames(10, FRAME);
        EXPECT_LT(Position().length(), 0.01f) << "no step taken";
    }
}

TEST_F(Walk, APointBesideTheGroundIsWalkedToWhereTheGroundEnds)
{
    const Vector3 beside(800, 0, 0);
    const Vector3 end = m_world.Ground().RayHitTriangle(beside, Vector3::NEGATIVE_UNIT_Y).point;
    ASSERT_LT(end.x, 500.0f);
    RecordingInitiator initiator;
    m_hero->MoveAlongPath(beside, &initiator);
    UntilDone(initiator);
    EXPECT_EQ(initiator.calls, (Calls{"started", "done 0"}));
    EXPECT_LT(Position().distance(end), 37.5f) << Position() << " short of " << end;
}

TEST_F(Walk, ANewWalkEndsTheOldOne)
{
    RecordingInitiator first("first");
    RecordingInitiator second("second");
    m_hero->MoveAlongPath(Vector3(0, 0, 400), &first);
    m_world.Frames(30, FRAME);
    m_log.Clear();
    m_hero->MoveAlongPath(Vector3(300, 0, 300), &second);
    EXPECT_EQ(first.calls, (Calls{"started", "done 1"}));
    ASSERT_GE(m_log.Lines().size(), 2u);
    EXPECT_NE(m_log.Lines()[0].text.find("'hero' received new action 'second'!"), std::string::npos);
    EXPECT_NE(m_log.Lines()[1].text.find("'hero' aborted processing of action 'first'!"), std::string::npos);
    UntilDone(second);
    EXPECT_EQ(second.calls, (Calls{"started", "done 0"}));
    EXPECT_LT(Position().distance(Vector3(300, 0, 300)), 60.0f) << Position();
    EXPECT_EQ(first.calls.size(), 2u);
}

TEST_F(Walk, AWalkTheSameWayGoesOnWithoutATurn)
{
    RecordingInitiator first("first");
    RecordingInitiator second("second");
    m_hero->MoveAlongPath(Vector3(0, 0, 400), &first);
    m_world.Frames(30, FRAME,
                   [this] { return m_hero->GetActivity() == cl_Character::ACTIVITY_WALKING_PATH; });
    m_world.Frames(5, FRAME);
    m_hero->MoveAlongPath(Vector3(20, 0, 450), &second);
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_WALKING_PATH);
    EXPECT_FALSE(m_hero->GetTurnControl()->IsTurnPending());
    m_world.Frames(1, FRAME);
    EXPECT_TRUE(m_hero->GetMovementControl()->IsActive()) << "it never stopped";
    UntilDone(second);
    EXPECT_EQ(second.calls, (Calls{"started", "done 0"}));
}

TEST_F(Walk, LeavingTheSceneEndsTheWalk)
{
    RecordingInitiator initiator;
    m_hero->MoveAlongPath(Vector3(0, 0, 400), &initiator);
    m_world.Frames(30, FRAME);
    m_hero->SetActive(false);
    EXPECT_EQ(initiator.calls, (Calls{"started", "done 1"}));
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_INACTIVE);
    EXPECT_FALSE(m_hero->GetMovementControl()->IsActive());

    // An inactive character's action is logged, ends, and leaves it inactive.
    RecordingInitiator late;
    m_log.Clear();
    m_hero->MoveAlongPath(Vector3(0, 0, 200), &late);
    EXPECT_TRUE(m_log.Contains("Inactive character 'hero' can't perform actions!",
                               cl_Logger::TOPIC_CHARACTER | cl_Logger::LEVEL_ERROR));
    m_hero->SetNavmesh(nullptr);
    m_hero->MoveAlongPath(Vector3(0, 0, 200), &late);
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_INACTIVE);
    m_hero->SetActive(true);
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
}

TEST_F(Walk, TheScenesEnvironmentReachesTheControls)
{
    struct Case
    {
        int type;
        float running;
        EnvironmentType environment;
        bool runAllowed;
    } cases[] = {{0, 1.0f, ENVIRONMENT_TIGHT, true},
                 {1, 0.0f, ENVIRONMENT_NARROW, false},
                 {2, 0.5f, ENVIRONMENT_OPEN, true},
                 {7, -1.0f, ENVIRONMENT_OPEN, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.type);
        m_hero->ApplySceneMovementSettings(c.type, c.running);
        EXPECT_EQ(m_hero->GetTurnControl()->GetEnvironmentType(), c.environment);
        EXPECT_EQ(m_hero->GetMovementControl()->GetEnvironmentType(), c.environment);
        EXPECT_EQ(m_hero->GetMovementControl()->IsRunAllowed(), c.runAllowed);
    }
}

TEST_F(Walk, ADeletedCharacterEndsItsWalk)
{
    RecordingInitiator initiator;
    m_hero->MoveAlongPath(Vector3(0, 0, 400), &initiator);
    m_hero.reset();
    EXPECT_EQ(initiator.calls, (Calls{"started", "done 1"}));
}

// The demo's hero as the chapter's characters.tdf describes him (model, controls, walking distances), laid
// out by the build, on the test ground in a narrow place like the tower hall.
class DemoHero : public testing::Test
{
protected:
    void SetUp() override
    {
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
        groups.initialiseResourceGroup("CHAPTERDATA");
        ASSERT_TRUE(LoadXmlFile(m_characters, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/characters.tdf"));
        const TiXmlElement* element = m_characters.RootElement()->FirstChildElement("character");
        ASSERT_STREQ(element->Attribute("assetref"), "characters_hero");
        m_hero = std::make_unique<cl_Character>(m_world.SceneManager(), "characters_hero");
        ASSERT_TRUE(m_hero->GetPuppet()->FromXml(element->FirstChildElement("puppet")));
        ASSERT_TRUE(cl_CharacterLoader::Load(element, m_hero.get()));
        m_hero->SetLocation(st_ObjectPlacement{m_world.GameRoot()});
        m_hero->SetNavmesh(&m_world.Ground());
        m_hero->ApplySceneMovementSettings(ENVIRONMENT_NARROW, 1.0f);
        m_hero->SetActive(true);
    }
    void TearDown() override { m_hero.reset(); }
    Vector3 Position() const { return m_hero->GetSceneNode()->_getDerivedPosition(); }

    LogCapture m_log;
    WalkWorld m_world;
    // The chapter's materials name textures, which headless OGRE makes in memory.
    HeadlessTextures m_textures;
    TiXmlDocument m_characters;
    std::unique_ptr<cl_Character> m_hero;
};

TEST_F(DemoHero, WalksWhereHeIsSentAndTurnsToWalkThere)
{
    struct Case
    {
        const char* name;
        Vector3 target;
        const char* walkTurn; // the clip that turns him first; empty: a correction only
    } cases[] = {
        {"ahead", Vector3(10, 0, 200), ""},
        {"behind him", Vector3(0, 0, -300), "skeletal/turn/walk/180"},
        {"to his right", Vector3(-350, 0, 0), "skeletal/turn/walk/90"},
        {"to his left and back", Vector3(300, 0, -100), "skeletal/turn/walk/270"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_hero->GetSceneNode()->setPosition(Vector3::ZERO);
        m_hero->GetSceneNode()->setOrientation(Ogre::Quaternion::IDENTITY);
        RecordingInitiator initiator;
        m_hero->MoveAlongPath(c.target, &initiator);
        bool turned = !*c.walkTurn;
        m_world.Frames(600, FRAME,
                       [&]
                       {
                           turned =
                               turned || m_hero->GetPuppet()->ResolveAnimPath(c.walkTurn)->GetValue() > 0.0f;
                           return initiator.calls.size() == 2;
                       });
        EXPECT_EQ(initiator.calls, (Calls{"started", "done 0"}));
        EXPECT_TRUE(turned);
        EXPECT_LT(Position().distance(c.target), 60.0f) << Position();
    }
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 0u);
}

TEST_F(DemoHero, HisGladStateSmilesAndAFacelessCharacterLogsTheEmotionItCannotShow)
{
    m_hero->SetVisualState("glad");
    EXPECT_EQ(m_hero->GetFaceControl()->GetEmotion(), "glad");
    m_hero->SetFaceControl(nullptr);
    m_hero->SetVisualState("default");
    m_hero->SetVisualState("glad");
    EXPECT_TRUE(m_log.Contains("The Emotion 'glad' could not be set because no FaceCtrl was found!",
                               cl_Logger::LEVEL_ERROR));
}

// The walker with a focus control, on the test ground. Its only head would be a root bone, which the
// control does without: its focus is never reached.
class Act : public testing::Test
{
public:
    Act() { Build(); }
    void Build()
    {
        m_hero = m_world.MakeCharacter(std::string(CONTROLS).replace(
            std::string(CONTROLS).find("</controls>"), 11,
            R"(<focusctrl name="focus"><headbone boneref="body"/></focusctrl></controls>)"));
        m_hero->ApplySceneMovementSettings(ENVIRONMENT_NARROW, 1.0f);
    }
    int UntilDone(const RecordingInitiator& initiator, int frames = 600)
    {
        return m_world.Frames(frames, FRAME, [&initiator] { return initiator.calls.size() == 2; });
    }
    Vector3 Position() const { return m_hero->GetSceneNode()->_getDerivedPosition(); }
    // A node of the game root at position facing direction.
    Ogre::SceneNode* Node(const std::string& name, const Vector3& position,
                          const Vector3& facing = Vector3::UNIT_Z)
    {
        Ogre::SceneNode* node = m_world.GameRoot()->createChildSceneNode(name, position);
        node->setDirection(facing, Ogre::Node::TS_PARENT, Vector3::UNIT_Z);
        return node;
    }
    LogCapture m_log;
    WalkWorld m_world;
    std::unique_ptr<cl_Character> m_hero;
};

TEST_F(Act, EachActionEndsOnceWithItsResult)
{
    struct Case
    {
        const char* name;
        std::function<void(Act&, RecordingInitiator&)> start;
        cl_Character::Activity first; // right after the call
        Calls calls;                  // in the end
        float moved;                  // at least this far from the origin; negative: at most -moved
    } cases[] = {
        {"an examine walk to a node within reach only turns",
         [](Act& t, RecordingInitiator& i)
         { t.m_hero->MoveTo(t.Node("n", Vector3(-100, 0, 0)), "", 200, &i); },
         cl_Character::ACTIVITY_TURNING_TO_POINT,
         {"started", "done 0"},
         -1.0f},
        {"an examine walk turns, walks and stops early at 0.8 of its reach",
         [](Act& t, RecordingInitiator& i)
         { t.m_hero->MoveTo(t.Node("n", Vector3(0, 0, 400)), "", 100, &i); },
         cl_Character::ACTIVITY_TURNING_BEFORE_OBJECT_WALK,
         {"started", "done 0"},
         300.0f},
        {"an examine walk to no node fails",
         [](Act& t, RecordingInitiator& i) { t.m_hero->MoveTo(nullptr, "", 100, &i); },
         cl_Character::ACTIVITY_IDLE,
         {"started", "done 2"},
         -1.0f},
        {"a walk onto a node takes its facing",
         [](Act& t, RecordingInitiator& i)
         { t.m_hero->TurnTo(t.Node("n", Vector3(0, 0, 300), Vector3::UNIT_X), 0.0f, 0.0f, &i); },
         cl_Character::ACTIVITY_TURNING_BEFORE_WALK,
         {"started", "done 0"},
         299.0f},
        {"a walk onto no node fails",
         [](Act& t, RecordingInitiator& i) { t.m_hero->TurnTo(nullptr, 0.0f, 0.0f, &i); },
         cl_Character::ACTIVITY_IDLE,
         {"started", "done 2"},
         -1.0f},
        {"a turn on the spot",
         [](Act& t, RecordingInitiator& i) { t.m_hero->TurnToDirection(Vector3(0, 0, -300), 5.0f, &i); },
         cl_Character::ACTIVITY_TURNING,
         {"started", "done 0"},
         -20.0f},
        {"a turn without turn control fails",
         [](Act& t, RecordingInitiator& i)
         {
             t.m_hero->SetTurnControl(nullptr);
             t.m_hero->TurnToDirection(Vector3(0, 0, -300), 5.0f, &i);
         },
         cl_Character::ACTIVITY_IDLE,
         {"started", "done 2"},
         -1.0f},
        {"an animation at an unknown position fails",
         [](Act& t, RecordingInitiator& i) {
             t.m_hero->PlayAnimation("skeletal/walk", "nowhere", Vector3::ZERO, Ogre::Quaternion::IDENTITY,
                                     &i);
         },
         cl_Character::ACTIVITY_IDLE,
         {"started", "done 2"},
         -1.0f},
        {"a walk to the scene's location without spawn point fails",
         [](Act& t, RecordingInitiator& i) { t.m_hero->WalkToLocation("scenes_garden", &i); },
         cl_Character::ACTIVITY_IDLE,
         {"started", "done 2"},
         -1.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build();
        if (m_world.SceneManager().hasSceneNode("n"))
            m_world.SceneManager().destroySceneNode("n");
        RecordingInitiator initiator;
        c.start(*this, initiator);
        EXPECT_EQ(m_hero->GetActivity(), c.first);
        UntilDone(initiator);
        EXPECT_EQ(initiator.calls, c.calls);
        m_world.Frames(10, FRAME);
        EXPECT_EQ(initiator.calls, c.calls) << "told once";
        EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
        const float moved = Position().length();
        if (c.moved >= 0.0f)
            EXPECT_GE(moved, c.moved) << Position();
        else
            EXPECT_LE(moved, -c.moved) << Position();
    }
    EXPECT_TRUE(m_log.Contains("PlayAnimation couldn't find the position 'nowhere' to play animation "
                               "'skeletal/walk' at!",
                               cl_Logger::LEVEL_WARNING));
}

TEST_F(Act, TheExamineWalkStopsWithinReachAndAWalkOntoANodeEndsOnIt)
{
    RecordingInitiator examine;
    m_hero->MoveTo(Node("n", Vector3(0, 0, 400)), "", 100, &examine);
    UntilDone(examine);
    const float distance = Position().distance(Vector3(0, 0, 400));
    EXPECT_LE(distance, 100.0f) << Position();
    EXPECT_GE(distance, 60.0f) << "stopped at 0.8 of the reach, not at the node: " << Position();

    RecordingInitiator onto;
    Ogre::SceneNode* mark = Node("mark", Vector3(-200, 0, 0), Vector3::UNIT_X);
    m_hero->TurnTo(mark, 0.0f, 0.0f, &onto);
    UntilDone(onto);
    EXPECT_EQ(onto.calls, (Calls{"started", "done 0"}));
    EXPECT_LT(Position().distance(Vector3(-200, 0, 0)), 0.01f) << "set exactly onto it: " << Position();
    const Vector3 facing = m_hero->GetSceneNode()->_getDerivedOrientation() * Vector3::UNIT_Z;
    EXPECT_GT(facing.dotProduct(Vector3::UNIT_X), 0.99f) << facing;
}

TEST_F(Act, AbortAndStopEndTheActionsTheyShould)
{
    RecordingInitiator walk("walk");
    m_hero->MoveAlongPath(Vector3(0, 0, 400), &walk);
    m_world.Frames(20, FRAME);
    m_hero->StopAnimation();
    EXPECT_EQ(walk.calls, Calls{"started"}) << "a walk is no animation";
    m_hero->AbortAll();
    EXPECT_EQ(walk.calls, (Calls{"started", "done 3"}));
    EXPECT_TRUE(
        m_log.Contains("'hero' aborted action 'walk'!", cl_Logger::TOPIC_CHARACTER | cl_Logger::LEVEL_INFO));
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);

    // An inactive character stays inactive through an abort (a loaded save aborts every character).
    m_hero->SetActive(false);
    m_hero->AbortAll();
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_INACTIVE);
}

TEST_F(Act, ANewActionIsLoggedBeforeTheOldOneEnds)
{
    RecordingInitiator first("first");
    RecordingInitiator second("second");
    m_hero->MoveAlongPath(Vector3(0, 0, 400), &first);
    m_log.Clear();
    m_hero->WalkToLocation("scenes_garden", &second);
    ASSERT_GE(m_log.Lines().size(), 3u);
    EXPECT_NE(m_log.Lines()[0].text.find("'hero' received new action 'second'!"), std::string::npos);
    EXPECT_NE(m_log.Lines()[1].text.find("'hero' aborted processing of action 'first'!"), std::string::npos);
    EXPECT_NE(m_log.Lines()[2].text.find("'hero' failed to perform action 'second'!"), std::string::npos);
    EXPECT_EQ(first.calls, (Calls{"started", "done 1"}));
    EXPECT_EQ(second.calls, (Calls{"started", "done 2"}));
}

TEST_F(Act, AnExplicitFocusEndsReplacedStoppedOrTimedOut)
{
    RecordingInitiator replaced("replaced");
    RecordingInitiator unreachable("unreachable");
    m_hero->FocusOnPoint(Vector3(0, 100, -300), false, 40.0f, 0.0f, &replaced);
    EXPECT_EQ(replaced.calls, Calls{"started"});
    m_hero->FocusOnPoint(Vector3(0, 100, -300), false, 40.0f, 0.0f, &unreachable);
    EXPECT_EQ(replaced.calls, (Calls{"started", "done 1"}));
    EXPECT_TRUE(m_hero->IsFocusing());
    m_world.Frames(58, FRAME);
    EXPECT_EQ(unreachable.calls, Calls{"started"}) << "still waiting before 2 s";
    EXPECT_FALSE(m_log.Contains("Focus failed!"));
    m_world.Frames(5, FRAME);
    EXPECT_EQ(unreachable.calls, (Calls{"started", "done 2"}));
    EXPECT_TRUE(m_log.Contains("Focus failed!", cl_Logger::LEVEL_WARNING));
    EXPECT_TRUE(m_hero->IsFocusing()) << "the focus holds on after its initiator gave up";

    RecordingInitiator aborted("aborted");
    m_hero->FocusOnPoint(Vector3(0, 100, 300), false, 40.0f, 0.0f, &aborted);
    m_hero->AbortAll();
    EXPECT_EQ(aborted.calls, (Calls{"started", "done 1"}));
    EXPECT_FALSE(m_hero->IsFocusing());

    RecordingInitiator none("none");
    m_hero->Focus(nullptr, false, 40.0f, 0.0f, &none);
    EXPECT_EQ(none.calls, (Calls{"started", "done 0"}));
    EXPECT_FALSE(m_hero->IsFocusing());
    EXPECT_FALSE(m_hero->GetFocusControl()->HasTarget());
}

TEST_F(Act, TheDescriptionTellsWhatTheCharacterDoesForWhomAndWhereItLooks)
{
    RecordingInitiator walk("walk");
    RecordingInitiator look("look");
    const struct
    {
        const char* name;
        std::function<void(Act&)> arrange;
        const char* cat;
        const char* caller; // empty: no "caller" child
        const char* target; // empty: no "focus" child
    } cases[] = {
        {"idle", [](Act&) {}, "idle", "", ""},
        {"walking", [&walk](Act& t) { t.m_hero->MoveAlongPath(Vector3(0, 0, 400), &walk); }, "performing",
         "walk", ""},
        {"looking at a point",
         [&look](Act& t) { t.m_hero->FocusOnPoint(Vector3(0, 100, 300), false, 40, 0, &look); }, "idle",
         "look", "0 100 300"},
        {"inactive", [](Act& t) { t.m_hero->SetActive(false); }, "inactive", "", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build();
        c.arrange(*this);
        TiXmlElement description("hero");
        m_hero->DescribeState(description);
        EXPECT_STREQ(description.FirstChildElement("state")->Attribute("cat"), c.cat);
        const TiXmlElement* caller = description.FirstChildElement("caller");
        EXPECT_EQ(caller ? AttributeOrEmpty(*caller, "name") : "", c.caller);
        if (caller)
            EXPECT_STREQ(caller->Attribute("type"), "unknown");
        // After the body's own "focus" (its focus bone).
        const TiXmlElement* focus = description.LastChild("focus")->ToElement();
        EXPECT_EQ(AttributeOrEmpty(*focus, "target"), c.target);
        if (*c.target)
            EXPECT_STREQ(focus->Attribute("locked"), "true");
        m_hero->AbortAll();
    }
}

TEST_F(Act, PlacementByNameAndScaleFades)
{
    EXPECT_FALSE(m_hero->SetLocationByName("positions_inactive_pc_hero")) << "no scene is loaded";
    EXPECT_TRUE(
        m_log.Contains("Location 'positions_inactive_pc_hero' could not be resolved! Nothing changed!",
                       cl_Logger::LEVEL_WARNING));
    Node("positions_door", Vector3(100, 0, 0));
    EXPECT_TRUE(m_hero->SetLocationByName("positions_door"));
    EXPECT_EQ(m_hero->GetLocationName(), "positions_door");
    EXPECT_LT(Position().distance(Vector3(100, 0, 0)), 0.01f);

    RecordingInitiator walk;
    m_hero->MoveAlongPath(Vector3(100, 0, 400), &walk);
    m_log.Clear();
    m_hero->SetLocation(st_ObjectPlacement{m_world.GameRoot()});
    EXPECT_TRUE(
        m_log.Contains("External call to SetLocation while processing an action!", cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(m_hero->GetInitiator(), &walk) << "the action goes on";
    m_hero->AbortAll();

    struct Case
    {
        float target;
        float duration;
        int frames;
        float scale;
    } cases[] = {{2.0f, 0.0f, 1, 2.0f}, {3.0f, 1.0f, 15, 2.5f}, {3.0f, 1.0f, 45, 3.0f}};
    m_hero->SetScale(1.0f);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.duration);
        m_hero->SetScale(c.target == 2.0f ? 1.0f : 2.0f);
        m_hero->StartScaleFade(c.target, c.duration);
        m_world.Frames(c.frames, 1.0f / 30.0f);
        EXPECT_NEAR(m_hero->GetSceneNode()->getScale().x, c.scale, 0.05f);
    }
    EXPECT_FALSE(m_hero->IsScaleFading());
}

TEST_F(Act, WhatTheCharacterSavesComesBack)
{
    RecordingInitiator walk;
    m_hero->MoveAlongPath(Vector3(0, 0, 300), &walk);
    UntilDone(walk);
    const Vector3 walked = Position();
    ASSERT_GT(walked.length(), 200.0f);
    m_hero->SetScale(1.5f);
    m_hero->SetCustomObjectPosition("positions_door");
    m_hero->SetFocus("body", "");
    m_hero->GetPuppet()->GetControl("move")->SetEnabled(false);
    TiXmlElement state("hero");
    m_hero->SaveState(&state);
    m_hero->SaveState(&state);
    int controlsChildren = 0;
    for (const TiXmlElement* child = state.FirstChildElement("controls"); child;
         child = child->NextSiblingElement("controls"))
        ++controlsChildren;
    EXPECT_EQ(controlsChildren, 1) << "a second save reuses its children";
    EXPECT_STREQ(state.Attribute("exDist"), "280.000000") << "the default made explicit";
    AppendChild(*state.FirstChildElement("controls"), "gone");

    Build();
    ASSERT_LT(Position().length(), 0.01f);
    m_hero->LoadState(&state);
    EXPECT_TRUE(m_hero->GetStoredPosition().positionEquals(walked, 0.01f)) << m_hero->GetStoredPosition();
    EXPECT_EQ(m_hero->GetStoredParentName(), "_game");
    EXPECT_FLOAT_EQ(m_hero->GetSceneNode()->getScale().x, 1.5f);
    EXPECT_EQ(m_hero->GetLocationName(), "positions_door");
    EXPECT_EQ(m_hero->GetExamineDistance(), 280.0f);
    EXPECT_EQ(m_hero->GetFocusBone(), "body") << "an empty slave is a focus on the body itself";
    EXPECT_FALSE(m_hero->GetPuppet()->GetControl("move")->IsEnabled());
    EXPECT_TRUE(m_hero->GetPuppet()->GetControl("turn")->IsEnabled());
    EXPECT_TRUE(m_log.Contains("Control 'gone' not found in.", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
}

// The walker with a special animation control, in a loaded scene with the stage "positions_stage" at x 200.
// Its stand clip "skeletal/turn/stand/0" steps in place for 1 s.
class Animate : public testing::Test
{
public:
    Animate()
    {
        std::unique_ptr<cl_Scene> scene = MakeScene("scenes_stage");
        scene->SetSceneManager(&m_world.SceneManager());
        m_scenes.SetLoadedScene(std::move(scene));
        m_world.GameRoot()->createChildSceneNode("positions_stage", Vector3(200, 0, 0));
        Build();
    }
    void Build()
    {
        m_hero = m_world.MakeCharacter(std::string(CONTROLS).replace(
            std::string(CONTROLS).find("</controls>"), 11, R"(<specialctrl name="special"/></controls>)"));
    }
    int UntilDone(const RecordingInitiator& initiator)
    {
        return m_world.Frames(300, FRAME, [&initiator] { return initiator.calls.size() == 2; });
    }
    Vector3 Position() const { return m_hero->GetSceneNode()->_getDerivedPosition(); }

    LogCapture m_log;
    WalkWorld m_world;
    cl_SceneManager m_scenes{m_world.Scripts()};
    std::unique_ptr<cl_Character> m_hero;
};

TEST_F(Animate, AnAnimationActionEndsOnceWithItsResultWhereTheCharacterStoodBefore)
{
    const char* const STEP = "skeletal/turn/stand/0";
    const Vector3 stage(200, 0, 50);
    struct Case
    {
        const char* name;
        std::function<void(Animate&, RecordingInitiator&)> start;
        std::function<void(Animate&)> meanwhile; // after the first frames
        Calls calls;
        bool onStage; // stood at the stage while it played
    } cases[] = {
        {"played where he stands",
         [&](Animate& t, RecordingInitiator& i) { t.m_hero->StartAnimation(STEP, &i); },
         {},
         {"started", "done 0"},
         false},
        {"played on the stage",
         [&](Animate& t, RecordingInitiator& i) {
             t.m_hero->PlayAnimation(STEP, "positions_stage", Vector3(0, 0, 50), Ogre::Quaternion::IDENTITY,
                                     &i);
         },
         {},
         {"started", "done 0"},
         true},
        {"at an unknown play position",
         [&](Animate& t, RecordingInitiator& i)
         { t.m_hero->PlayAnimation(STEP, "nowhere", Vector3::ZERO, Ogre::Quaternion::IDENTITY, &i); },
         {},
         {"started", "done 2"},
         false},
        {"a path without clip",
         [](Animate& t, RecordingInitiator& i) { t.m_hero->StartAnimation("skeletal/none", &i); },
         {},
         {"started", "done 2"},
         false},
        {"without special animation control",
         [&](Animate& t, RecordingInitiator& i)
         {
             t.m_hero->SetSpecialControl(nullptr);
             t.m_hero->StartAnimation(STEP, &i);
         },
         {},
         {"started", "done 2"},
         false},
        {"stopped on the stage",
         [&](Animate& t, RecordingInitiator& i) {
             t.m_hero->PlayAnimation(STEP, "positions_stage", Vector3(0, 0, 50), Ogre::Quaternion::IDENTITY,
                                     &i);
         },
         [](Animate& t) { t.m_hero->StopAnimation(); },
         {"started", "done 3"},
         true},
        {"replaced by a turn",
         [&](Animate& t, RecordingInitiator& i) { t.m_hero->StartAnimation(STEP, &i); },
         [](Animate& t) { t.m_hero->TurnToDirection(Vector3(0, 0, 300), 40.0f, nullptr); },
         {"started", "done 1"},
         false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build();
        RecordingInitiator initiator;
        c.start(*this, initiator);
        bool onStage = false;
        m_world.Frames(3, FRAME,
                       [&] { return (onStage = onStage || Position().distance(stage) < 0.01f), false; });
        if (c.meanwhile)
        {
            EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_ANIMATION);
            c.meanwhile(*this);
        }
        UntilDone(initiator);
        EXPECT_EQ(initiator.calls, c.calls);
        EXPECT_EQ(onStage, c.onStage);
        m_world.Frames(10, FRAME);
        EXPECT_EQ(initiator.calls, c.calls) << "told once";
        EXPECT_LT(Position().length(), 0.01f) << "back where he stood: " << Position();
        EXPECT_EQ(m_hero->GetSpecialControl() ? m_hero->GetSpecialControl()->GetCurrentAnimation() : nullptr,
                  nullptr);
    }
    EXPECT_TRUE(m_log.Contains("PlayAnimation couldn't find the position 'nowhere' to play animation "
                               "'skeletal/turn/stand/0' at!",
                               cl_Logger::LEVEL_WARNING));
}

TEST_F(Animate, StopAnimationLeavesOtherActionsAlone)
{
    RecordingInitiator turn;
    m_hero->TurnToDirection(Vector3(0, 0, -300), 5.0f, &turn);
    m_hero->StopAnimation();
    EXPECT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_TURNING);
    EXPECT_EQ(m_hero->GetInitiator(), &turn);
    m_hero->AbortAll();
}

TEST(Character, AGlanceTakesTheFirstRecordWhoseRunningSumOfKindsReachesTheDraw)
{
    auto records = [](std::initializer_list<int> kinds)
    {
        ObjectLocations list;
        for (int kind : kinds)
            list.push_back(ObjectLocation{nullptr, nullptr, "", kind});
        return list;
    };
    const struct
    {
        ObjectLocations records;
        int x;
        int picked;
    } cases[] = {
        {records({0, 3, 1}), 0, 0}, // weight 0 and still taken: 0 reaches 0
        {records({0, 3, 1}), 1, 1}, {records({0, 3, 1}), 3, 1}, {records({0, 3, 1}), 4, 2},
        {records({2, 2}), 2, 0},    {records({2, 2}), 3, 1},    {records({}), 0, -1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(cl_Character::PickGlanceRecord(c.records, c.x), c.picked);
    }
}

// The demo's hero as the current character in the tower hall, where his glances find the keeper and the
// items to look at and the camera of the shot "default".
class HeroInTheHall : public testing::Test
{
protected:
    HeroInTheHall()
    {
        m_world.scenes.SwitchScene("scenes_tower", "default", false, false);
        m_world.camera.ActivateShot("default");
        m_world.hub.SetCurrentCharacter("characters_hero");
        m_hero = m_world.characters.GetCharacter("characters_hero");
    }
    ~HeroInTheHall() override { platform::GameSrand(1); }

    // What his focus control looks at: "nothing", "the held point", "the camera" or "a thing of the hall".
    std::string Look(const Vector3& held) const
    {
        const cl_FocusTargetControl& focus = *m_hero->GetFocusControl();
        if (!focus.HasTarget())
            return "nothing";
        if (focus.GetTargetPosition() == held)
            return "the held point";
        if (focus.GetTargetPosition() == m_world.ogreCamera->getDerivedPosition())
            return "the camera";
        return "a thing of the hall";
    }

    SceneWorld m_world{SceneWorld::DEMO_CHAPTER};
    cl_Character* m_hero = nullptr;
};

// A seed after which GameRand draws a number of that remainder by 3 first: the glance's choice.
unsigned int SeedChoosing(int choice)
{
    unsigned int seed = 0;
    for (;; ++seed)
    {
        platform::GameSrand(seed);
        if (platform::GameRand() % 3 == choice)
            return seed;
    }
}

TEST_F(HeroInTheHall, AGlanceNeverTakesAHeldFocus)
{
    ASSERT_NE(m_hero, nullptr);
    ASSERT_NE(m_hero->GetFocusControl(), nullptr);
    const Vector3 held(60, 150, -120);
    const struct
    {
        const char* name;
        int choice; // the glance's draw
        bool held;
        const char* look;
        bool turns; // his body turns in the next frame
    } cases[] = {
        {"a glance at a thing", 0, false, "a thing of the hall", true},
        {"a glance at the camera", 1, false, "the camera", true},
        {"no glance", 2, false, "nothing", false},
        {"held against a glance at a thing", 0, true, "the held point", false},
        {"held against a glance at the camera", 1, true, "the held point", false},
        {"held without a glance", 2, true, "the held point", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_hero->AbortAll();
        if (c.held)
            m_hero->FocusOnPoint(held, false, 0.0f, 0.0f, nullptr);
        m_hero->SetIdleTime(7.0f);
        platform::GameSrand(SeedChoosing(c.choice));
        m_hero->UpdateGlances();
        m_hero->Update(FRAME);
        EXPECT_EQ(Look(held), c.look);
        EXPECT_EQ(m_hero->IsFocusing(), c.held);
        EXPECT_EQ(m_hero->GetTurnControl()->IsTurnPending(), c.turns);
        EXPECT_LT(m_hero->GetIdleTime(), 0.1f) << "the idle time starts anew either way";
    }
}

TEST_F(Act, AnIdleCharacterLeftAloneTriggersItsAutoActionWhenTheGlanceIntervalRunsOut)
{
    m_hero = m_world.MakeCharacter(std::string(CONTROLS).replace(
        std::string(CONTROLS).find("</controls>"), 11,
        R"(<autoactionctrl name="autoaction" triggertime="9" auto="false"/></controls>)"));
    RecordingInitiator done;
    m_hero->StartAnimation("x", &done); // an action that ends at once makes him idle
    ASSERT_EQ(m_hero->GetActivity(), cl_Character::ACTIVITY_IDLE);
    m_world.Frames(6 * 30, FRAME);
    EXPECT_GT(m_hero->GetIdleTime(), 5.9f);
    EXPECT_EQ(m_hero->GetGlanceInterval(), 6.0f);
    m_world.Frames(3, FRAME);
    EXPECT_LT(m_hero->GetIdleTime(), 0.1f) << "looked round";
    EXPECT_EQ(m_hero->GetGlanceInterval(), 9.0f) << "no current character: the auto action's time";

    m_hero->SetBusyCount(1);
    m_world.Frames(10 * 30, FRAME);
    EXPECT_EQ(m_hero->GetIdleTime(), 0.0f) << "a busy character is never alone";
}

TEST(Character, ActivityFollowsActivation)
{
    HeadlessOgre ogre;
    cl_Character hero(ogre.SceneManager(), "characters_hero");
    EXPECT_EQ(hero.GetActivity(), cl_Character::ACTIVITY_NEVER_ACTIVE);
    hero.SetActive(true);
    EXPECT_EQ(hero.GetActivity(), cl_Character::ACTIVITY_NEVER_ACTIVE) << "not idle before a first action";
    hero.SetActive(false);
    EXPECT_EQ(hero.GetActivity(), cl_Character::ACTIVITY_INACTIVE);
    hero.SetActive(true);
    EXPECT_EQ(hero.GetActivity(), cl_Character::ACTIVITY_IDLE);

    cl_Character ghost(ogre.SceneManager(), nullptr, "characters_ghost");
    RecordingInitiator initiator;
    ghost.MoveAlongPath(Vector3::ZERO, &initiator);
    EXPECT_EQ(initiator.calls, (Calls{"started", "done 2"})) << "a character without body cannot walk";
    ghost.StoreTransform();
    EXPECT_FALSE(ghost.HasStoredTransform());
}

TEST(Character, AChangedBusyCountMeansTheCharacterWasJustBusy)
{
    HeadlessOgre ogre;
    cl_Character hero(ogre.SceneManager(), "characters_hero");
    hero.SetIdleTime(3.0f);
    hero.SetBusyCount(0);
    EXPECT_EQ(hero.GetIdleTime(), 3.0f) << "the same count is no change";
    hero.SetBusyCount(1);
    EXPECT_EQ(hero.GetIdleTime(), 0.0f);
}

TEST(CharacterManager, KeepsTheFirstCharacterOfAnIdUntilTheCharactersAreUnloaded)
{
    HeadlessOgre ogre;
    LogCapture log;
    cl_LuaScriptSystem script;
    cl_CharacterManager characters(script);
    cl_Character* first =
        characters.AddCharacter(std::make_unique<cl_Character>(ogre.SceneManager(), "characters_hero"));
    EXPECT_EQ(characters.AddCharacter(std::make_unique<cl_Character>(ogre.SceneManager(), "characters_hero")),
              first);
    EXPECT_TRUE(log.Contains("The character 'characters_hero' exists already."));
    EXPECT_EQ(characters.GetCharacter("characters_hero"), first);
    EXPECT_EQ(characters.GetCharacter("characters_keeper"), nullptr);

    characters.UnloadCharacters();
    EXPECT_EQ(characters.GetCharacter("characters_hero"), nullptr);
}
} // namespace
