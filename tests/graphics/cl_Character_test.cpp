#include "graphics/cl_Character.h"

#include "assets/ISyncedActionInitiator.h"
#include "common/XmlParse.h"
#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_TurnControl.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/LogCapture.h"
#include "support/WalkWorld.h"

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
