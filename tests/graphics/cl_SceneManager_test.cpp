#include "graphics/cl_SceneManager.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_ItemAsset.h"
#include "common/XmlHelpers.h"
#include "common/XmlParse.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_Scene.h"
#include "gui/cl_GUISystem.h"
#include "support/AssetWorld.h"
#include "support/SceneDefinition.h"
#include "support/SceneWorld.h"

#include <OgreSceneManager.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The demo's tower room: lit once the game started, it answers "scene.Leave" by going to its "door" state.
class SceneSwitch : public testing::Test
{
protected:
    SceneSwitch()
    {
        world.LoadChapter(DemoChapterFolder());
        world.LoadGameState(DemoNewGameState());
        scenes.CreateCurtain(nullptr, nullptr);
        ParseScenes(scenes, {"scenes_tower", "scenes_hall"});
    }

    bool TowerIn(const std::string& state) { return world.Logic("scenes_tower").IsInState(state); }

    AssetWorld world;
    cl_SceneManager scenes{world.script};
};

TEST_F(SceneSwitch, EventsGoToTheOldAndTheNewSceneOnlyWhenAsked)
{
    const struct
    {
        const char* name;
        const char* first; // the scene switched to before; "" for none
        const char* target;
        bool sendEvents;
        bool towerLeft;
    } cases[] = {
        {"leaving the tower with events", "scenes_tower", "scenes_hall", true, true},
        {"leaving the tower without events", "scenes_tower", "scenes_hall", false, false},
        {"the tower again: no switch", "scenes_tower", "scenes_tower", true, false},
        {"into the tower", "", "scenes_tower", true, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        world.LoadGameState(DemoNewGameState());
        scenes.UnloadScene();
        if (*c.first)
            scenes.SwitchScene(c.first, "default", false, false);
        ASSERT_TRUE(TowerIn("lit"));

        scenes.SwitchScene(c.target, "default", c.sendEvents, false);
        EXPECT_EQ(TowerIn("door"), c.towerLeft);
        EXPECT_EQ(scenes.GetCurrentSceneName(), c.target);
        EXPECT_EQ(world.gameState.GetCurrentSceneId(), c.target);
    }
}

TEST_F(SceneSwitch, ARequestedChangeGoesThroughItsPhasesBehindTheCurtain)
{
    // Phases of a change from the tower to the hall: what the switch flags say and whether the manager
    // is busy, after the request, once black (the switch made, the curtain fading in) and once clear.
    scenes.SwitchScene("scenes_tower", "default", false, false);
    world.Frames(70, 1.0f / 60.0f);
    ASSERT_FALSE(scenes.IsBusy());
    ASSERT_TRUE(scenes.GetCurtain()->IsClear());

    scenes.RequestSceneChange("scenes_hall");
    EXPECT_TRUE(scenes.IsChangePending()) << "requested";
    EXPECT_FALSE(scenes.IsSwitching()) << "requested";
    EXPECT_TRUE(scenes.IsBusy()) << "requested";
    EXPECT_EQ(scenes.GetCurrentSceneName(), "scenes_tower") << "requested";

    world.Frames(62, 1.0f / 60.0f);
    EXPECT_EQ(scenes.GetCurrentSceneName(), "scenes_hall") << "switched once black";
    EXPECT_FALSE(scenes.IsChangePending()) << "switched";
    EXPECT_TRUE(scenes.IsSwitching()) << "fading in";
    EXPECT_TRUE(scenes.IsBusy()) << "fading in";
    EXPECT_TRUE(scenes.GetCurtain()->IsFading());

    world.Frames(62, 1.0f / 60.0f);
    EXPECT_FALSE(scenes.IsSwitching()) << "clear";
    EXPECT_FALSE(scenes.IsBusy()) << "clear";
    EXPECT_TRUE(scenes.GetCurtain()->IsClear());
}

TEST_F(SceneSwitch, ARequestWhileBlackSwitchesInsideTheCall)
{
    scenes.SwitchScene("scenes_tower", "default", false, false);
    scenes.GetCurtain()->FadeToBlack(0.0f);
    scenes.RequestSceneChange("scenes_hall");
    EXPECT_EQ(scenes.GetCurrentSceneName(), "scenes_hall");
    EXPECT_FALSE(scenes.IsChangePending());
    EXPECT_TRUE(scenes.IsSwitching());
    EXPECT_TRUE(TowerIn("door")) << "scene.Leave reached the tower";
}

TEST_F(SceneSwitch, AnySwitchFlagMakesTheManagerBusy)
{
    const struct
    {
        const char* name;
        void (cl_SceneManager::*set)(bool);
    } flags[] = {
        {"change pending", &cl_SceneManager::SetChangePending},
        {"character switch pending", &cl_SceneManager::SetCharacterSwitchPending},
        {"interaction blocked", &cl_SceneManager::SetInteractionBlocked},
    };
    for (const auto& flag : flags)
    {
        (scenes.*flag.set)(true);
        EXPECT_TRUE(scenes.IsBusy()) << flag.name;
        (scenes.*flag.set)(false);
        EXPECT_FALSE(scenes.IsBusy()) << flag.name;
    }
}

// The demo's hall on headless OGRE with the in-game menu, whose wait pointer a switch raises.
class DemoSwitch : public testing::Test
{
protected:
    void Enter(const char* scene = "scenes_tower")
    {
        world.scenes.UnloadScene();
        world.assets.LoadGameState(DemoNewGameState());
        world.scenes.SwitchScene(scene, "default", false, false);
        world.assets.Frames(70, 1.0f / 60.0f);
    }
    std::string Current() const
    {
        const cl_Character* character = world.hub.GetCurrentCharacter();
        return character ? character->GetName() : std::string();
    }
    bool Waiting() { return gui.GetIngameMenu().m_pointerFlags.wait; }

    SceneWorld world{SceneWorld::DEMO_CHAPTER};
    cl_GUISystem gui{world.assets.script};
};

TEST_F(DemoSwitch, EverySwitchKeepsTheManagerBusyUntilItIsDoneAndWaitsOnlyBehindTheCurtain)
{
    const char* const HALL = "scenes_tower";
    const char* const YARD = "scenes_yard";
    const char* const HERO = "characters_hero";
    const char* const KEEPER = "characters_keeper";
    // What is seen right after the start, then after each further count of frames at 60 fps.
    struct Phase
    {
        int frames;
        const char* scene;
        const char* character;
        bool idle;
        bool wait;
    };
    const struct
    {
        const char* name;
        std::function<void()> start;
        std::vector<Phase> phases;
    } cases[] = {
        {"a scene change",
         [&] { world.scenes.RequestSceneChange(YARD); },
         {{0, HALL, HERO, false, true}, {62, YARD, HERO, false, true}, {62, YARD, HERO, true, false}}},
        {"the current character again changes nothing",
         [&] { world.scenes.SwitchToCharacter(HERO); },
         {{0, HALL, HERO, true, false}}},
        {"the keeper beside the hero takes over once the hero has turned",
         [&] { world.scenes.SwitchToCharacter(KEEPER); },
         {{0, HALL, HERO, false, false}, {180, HALL, KEEPER, true, false}}},
        {"a click during the turn finishes the switch behind the curtain",
         [&]
         {
             world.scenes.SwitchToCharacter(KEEPER);
             world.scenes.OnCharacterSwitchPending();
         },
         {{0, HALL, HERO, false, true}, {62, HALL, KEEPER, true, true}, {62, HALL, KEEPER, true, false}}},
        {"the keeper in the yard takes over at once and the yard follows",
         [&]
         {
             dynamic_cast<cl_ItemAsset&>(world.assets.Asset(KEEPER)).SetCurrentScene(YARD);
             world.scenes.SwitchToCharacter(KEEPER);
         },
         {{0, HALL, KEEPER, false, true}, {62, YARD, KEEPER, false, true}, {62, YARD, KEEPER, true, false}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Enter();
        ASSERT_TRUE(world.scenes.IsIdle());
        ASSERT_EQ(Current(), HERO);
        c.start();
        for (size_t i = 0; i < c.phases.size(); ++i)
        {
            const Phase& phase = c.phases[i];
            SCOPED_TRACE("phase " + std::to_string(i));
            world.assets.Frames(phase.frames, 1.0f / 60.0f);
            EXPECT_EQ(world.scenes.GetCurrentSceneName(), phase.scene);
            EXPECT_EQ(Current(), phase.character);
            EXPECT_EQ(world.scenes.IsIdle(), phase.idle);
            EXPECT_EQ(Waiting(), phase.wait);
        }
        EXPECT_TRUE(world.scenes.GetCurtain()->IsClear());
    }
}

TEST_F(DemoSwitch, WhoeverTookOverWalksWhereHeIsSentWhileTheOtherStays)
{
    // A point of the hall's floor between the hero's start and the keeper's place.
    const Ogre::Vector3 target(-35, 0, 75);
    const struct
    {
        const char* current;
        const char* other;
    } cases[] = {{"characters_hero", "characters_keeper"}, {"characters_keeper", "characters_hero"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.current);
        Enter();
        world.scenes.SwitchToCharacter(c.current);
        world.assets.Frames(180, 1.0f / 60.0f);
        ASSERT_EQ(Current(), c.current);
        cl_Character& walker = *world.characters.GetCharacter(c.current);
        const cl_Character& other = *world.characters.GetCharacter(c.other);
        const Ogre::Vector3 start = walker.GetSceneNode()->_getDerivedPosition();
        const Ogre::Vector3 stays = other.GetSceneNode()->_getDerivedPosition();

        walker.MoveAlongPath(target, nullptr);
        world.assets.Frames(480, 1.0f / 60.0f);
        EXPECT_GT(walker.GetSceneNode()->_getDerivedPosition().distance(start), 50.0f)
            << walker.GetSceneNode()->_getDerivedPosition();
        EXPECT_LT(walker.GetSceneNode()->_getDerivedPosition().distance(target), 40.0f)
            << walker.GetSceneNode()->_getDerivedPosition();
        EXPECT_LT(other.GetSceneNode()->_getDerivedPosition().distance(stays), 1.0f)
            << other.GetSceneNode()->_getDerivedPosition();
    }
}

TEST_F(DemoSwitch, TheQualityLevelDecidesWhatTheYardShowsAlsoWhenItIsReadAgain)
{
    TiXmlDocument scenesFile;
    ASSERT_TRUE(LoadXmlFile(scenesFile, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/scenes.tdf"));
    const TiXmlElement* yard = scenesFile.RootElement()->FirstChildElement("scene");
    while (yard && AttributeOrEmpty(*yard, "assetref") != "scenes_yard")
        yard = yard->NextSiblingElement("scene");
    ASSERT_TRUE(yard);
    // The yard's spot light shines from "mid" on.
    const struct
    {
        int level;
        bool spot;
        int otherLevel;
    } cases[] = {{0, false, 2}, {1, true, 0}, {2, true, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.level);
        world.scenes.SetQualityLevel(c.level);
        Enter("scenes_yard");
        EXPECT_EQ(world.SceneManager().hasLight("yard_spot"), c.spot) << "entered";
        world.scenes.ParseElement(yard, "CHAPTERDATA", false);
        EXPECT_EQ(world.SceneManager().hasLight("yard_spot"), c.spot) << "read again";
        world.scenes.SetQualityLevel(c.otherLevel);
        EXPECT_EQ(world.SceneManager().hasLight("yard_spot"), !c.spot) << "another level";
    }
}

TEST_F(DemoSwitch, ALoadedGamesCharactersStandWhereItWasSavedAndANewGamesAtTheScenesPositions)
{
    const char* const HALL = "scenes_tower";
    Enter(HALL);
    cl_Character& hero = *world.characters.GetCharacter("characters_hero");
    cl_Character& keeper = *world.characters.GetCharacter("characters_keeper");
    const auto at = [this](const char* node)
    { return world.SceneManager().getSceneNode(node)->_getDerivedPosition(); };
    // Both have walked away from their places, and a script named another position for the hero.
    hero.GetSceneNode()->translate(150, 0, -70);
    keeper.GetSceneNode()->translate(-40, 0, 30);
    hero.SetCustomObjectPosition("positions_keeper_target");
    const Ogre::Vector3 heroSaved = hero.GetSceneNode()->_getDerivedPosition();
    const Ogre::Vector3 keeperSaved = keeper.GetSceneNode()->_getDerivedPosition();
    world.assets.gameState.NotifySaving();
    const std::string saved = world.assets.SaveGameState();

    // Each state put in place as a load or a new game does, then its scene entered without events.
    const struct
    {
        const char* name;
        std::string state;
        Ogre::Vector3 hero;
        Ogre::Vector3 keeper;
        const char* heroPosition;
    } cases[] = {
        {"the saved game", saved, heroSaved, keeperSaved, "positions_keeper_target"},
        {"a new game after it", DemoNewGameState(), at("positions_start"), at("positions_keeper"),
         "positions_start"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(world.assets.LoadGameState(c.state));
        world.scenes.SwitchScene(HALL, "default", false, false);
        EXPECT_TRUE(hero.GetSceneNode()->_getDerivedPosition().positionEquals(c.hero, 0.01f))
            << hero.GetSceneNode()->_getDerivedPosition();
        EXPECT_TRUE(keeper.GetSceneNode()->_getDerivedPosition().positionEquals(c.keeper, 0.01f))
            << keeper.GetSceneNode()->_getDerivedPosition();
        EXPECT_EQ(hero.GetLocationName(), c.heroPosition);
    }

    // Only the scene a load enters: the keeper is back at his place when the hall is entered again.
    ASSERT_TRUE(world.assets.LoadGameState(saved));
    world.scenes.SwitchScene(HALL, "default", false, false);
    world.scenes.SwitchScene("scenes_yard", "default", true, true);
    world.scenes.SwitchScene(HALL, "default", true, true);
    EXPECT_TRUE(keeper.GetSceneNode()->_getDerivedPosition().positionEquals(at("positions_keeper"), 0.01f))
        << keeper.GetSceneNode()->_getDerivedPosition();
}

TEST(SceneManager, ASceneChangeIsPendingOnlyForAKnownScene)
{
    AssetWorld world;
    world.LoadChapter(DemoChapterFolder());
    cl_SceneManager scenes(world.script);
    scenes.CreateCurtain(nullptr, nullptr);
    ParseScenes(scenes, {"scenes_tower"});
    const struct
    {
        const char* target;
        bool pending;
    } cases[] = {{"scenes_tower", true}, {"scenes_nowhere", false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.target);
        scenes.SetChangePending(false);
        scenes.GetCurtain()->FadeFromBlack(0.0f);
        scenes.SetExitArmed(true);

        scenes.RequestSceneChange(c.target);
        EXPECT_FALSE(scenes.IsExitArmed());
        EXPECT_EQ(scenes.GetTargetScene(), c.target);
        EXPECT_EQ(scenes.IsChangePending(), c.pending);
        EXPECT_EQ(scenes.GetCurtain()->IsFading(), c.pending) << "the curtain closes for the change";
        EXPECT_EQ(scenes.IsBusy(), c.pending);
    }
}

TEST(SceneManager, UnloadingDeletesTheLoadedScene)
{
    AssetWorld world;
    cl_SceneManager scenes(world.script);
    scenes.SetLoadedScene(MakeScene());
    ASSERT_NE(scenes.GetLoadedScene(), nullptr);
    EXPECT_FALSE(scenes.GetLoadedScene()->HasBackdrop()) << "no backdrop is active yet";
    scenes.UnloadScene();
    EXPECT_EQ(scenes.GetLoadedScene(), nullptr);
}
} // namespace

TEST(SceneManager, TheCameraShotOfASaveIsShownAtTheNextSceneStart)
{
    AssetWorld world;
    cl_SceneManager scenes(world.script);
    cl_Camera camera(world.script);
    const struct
    {
        const char* attribute;
        const char* shot;
    } cases[] = {{"shot", "door"}, {"ShotActivator", "hall_follow"}, {"ShotGenerator", "hall_follow"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.attribute);
        camera.SetPendingShotName("");
        ASSERT_TRUE(world.LoadGameState(std::string("<gamestate><scenemanager><camera ") + c.attribute +
                                        "='" + c.shot + "'/></scenemanager></gamestate>"));
        EXPECT_EQ(camera.GetPendingShotName(), c.shot);
    }
    const std::string saved = world.SaveGameState();
    EXPECT_NE(saved.find("<scenemanager>"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("<scenemanager>"), saved.rfind("<scenemanager>")) << "one element, replaced";
}
