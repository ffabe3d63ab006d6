#include "graphics/cl_SceneManager.h"

#include "assets/cl_AssetLogic.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Scene.h"
#include "support/AssetWorld.h"
#include "support/SceneDefinition.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
