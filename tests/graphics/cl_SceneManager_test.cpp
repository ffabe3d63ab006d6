#include "graphics/cl_SceneManager.h"

#include "graphics/cl_Scene.h"
#include "support/AssetWorld.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
TEST(SceneManager, ASceneChangeIsPendingOnlyForAKnownScene)
{
    AssetWorld world;
    world.LoadChapter(DemoChapterFolder());
    cl_SceneManager scenes(world.script);
    scenes.Init();
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
        EXPECT_EQ(scenes.IsCurtainClosed(), c.pending) << "the curtain closes for the change";
        EXPECT_EQ(scenes.IsBusy(), c.pending);
    }
}

TEST(SceneManager, UnloadingDeletesTheLoadedScene)
{
    AssetWorld world;
    cl_SceneManager scenes(world.script);
    scenes.SetLoadedScene(std::make_unique<cl_Scene>(nullptr, true));
    ASSERT_NE(scenes.GetLoadedScene(), nullptr);
    EXPECT_TRUE(scenes.GetLoadedScene()->HasBackdrop());
    scenes.UnloadScene();
    EXPECT_EQ(scenes.GetLoadedScene(), nullptr);
}
} // namespace
