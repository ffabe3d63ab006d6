#include "graphics/cl_Scene.h"

#include "graphics/cl_Backdrop.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

namespace
{
// A loaded scene with the backdrops hall and cellar, each with a first shot of its own.
class SceneBackdrops : public testing::Test
{
protected:
    SceneBackdrops()
    {
        m_world.camera.AddShot("avatar_hall", m_hall.BackdropToWorld(100, 100), 0.5f, 0.0f, "hall");
        m_world.camera.AddShot("avatar_cellar", m_hall.BackdropToWorld(700, 500), 2.0f, 0.0f, "cellar");
    }

    BackdropWorld m_world;
    cl_Scene& m_scene = *m_world.scene;
    cl_Backdrop& m_hall = m_world.AddBackdrop("hall");
    cl_Backdrop& m_cellar = m_world.AddBackdrop("cellar");
};
} // namespace

TEST_F(SceneBackdrops, ActivatesOneBackdropAtATimeWithItsFirstShot)
{
    EXPECT_EQ(m_scene.GetActiveBackdropName(), "default");
    m_scene.ActivateBackdrop("hall");
    EXPECT_EQ(m_scene.GetActiveBackdrop(), &m_hall);
    EXPECT_TRUE(m_hall.IsActive());
    EXPECT_EQ(m_world.gameState.GetCurrentBackdrop(), "hall");
    EXPECT_EQ(m_world.camera.GetStaticShotName(), "avatar_hall");
    EXPECT_EQ(m_hall.GetZoom(), 0.5f);

    m_scene.ActivateBackdrop("cellar");
    EXPECT_FALSE(m_hall.IsActive());
    EXPECT_TRUE(m_cellar.IsActive());
    EXPECT_EQ(m_scene.GetActiveBackdropName(), "cellar");
    EXPECT_EQ(m_world.camera.GetStaticShotName(), "avatar_cellar");
}

TEST_F(SceneBackdrops, AnUnknownOrTheActiveNameChangesNothing)
{
    m_world.camera.AddShot("window", m_hall.BackdropToWorld(600, 200), 1.0f, 0.0f, "hall");
    m_scene.ActivateBackdrop("hall");
    m_world.camera.ActivateShot("window");
    m_scene.ActivateBackdrop("hall");
    m_scene.ActivateBackdrop("attic");
    EXPECT_EQ(m_scene.GetActiveBackdrop(), &m_hall);
    EXPECT_EQ(m_world.camera.GetStaticShotName(), "window");
}

TEST_F(SceneBackdrops, TwoBackdropsWhoseFirstShotsNameEachOtherEndAtTheFirst)
{
    m_world.camera.AddShot("avatar_hall", m_hall.BackdropToWorld(100, 100), 0.5f, 0.0f, "cellar");
    m_world.camera.AddShot("avatar_cellar", m_hall.BackdropToWorld(700, 500), 2.0f, 0.0f, "hall");
    m_scene.ActivateBackdrop("hall");
    EXPECT_EQ(m_scene.GetActiveBackdrop(), &m_hall);
    EXPECT_EQ(m_hall.GetZoom(), 0.5f);
    EXPECT_TRUE(m_world.log.Contains("A shot of the backdrop 'hall' names the backdrop 'cellar'"));
}

TEST_F(SceneBackdrops, ABackdropReplacedOrDestroyedTakesItsPatchesAlong)
{
    m_scene.AddPatch("door", m_hall.CreatePatch("door.png", -1.0f, 0, 0, 0, 0, 0, 0, 8, 8));
    m_scene.AddPatch("lamp", m_cellar.CreatePatch("lamp.png", -1.0f, 0, 0, 0, 0, 0, 0, 8, 8));
    m_scene.ActivateBackdrop("hall");
    ASSERT_NE(m_scene.GetPatch("door"), nullptr);

    m_world.AddBackdrop("hall");
    EXPECT_EQ(m_scene.GetActiveBackdrop(), nullptr);
    EXPECT_EQ(m_scene.GetPatch("door"), nullptr);
    EXPECT_NE(m_scene.GetPatch("lamp"), nullptr);

    m_scene.DestroyBackdrops();
    EXPECT_EQ(m_scene.GetPatch("lamp"), nullptr);
    EXPECT_EQ(m_scene.GetBackdrop("cellar"), nullptr);
    EXPECT_EQ(m_scene.GetActiveBackdropName(), "default");
}

TEST_F(SceneBackdrops, FindsTheNodesOfTheLocation)
{
    Ogre::SceneNode& door = m_world.AddNode("sp_door", Ogre::Vector3::ZERO);
    EXPECT_EQ(m_scene.GetSceneNode("sp_door"), &door);
    EXPECT_EQ(m_scene.GetSceneNode("SceneRoot"), m_world.root);
    EXPECT_EQ(m_scene.GetSceneNode("sp_cellar"), nullptr);
    EXPECT_EQ(m_scene.GetSceneNode(""), nullptr);
    EXPECT_FALSE(m_world.log.Contains("Cannot retrieve"));

    m_scene.SetSceneManager(nullptr);
    EXPECT_EQ(m_scene.GetSceneNode("sp_door"), nullptr);
    EXPECT_TRUE(m_world.log.Contains("Cannot retrieve scenenode 'sp_door' because this scene is not loaded.",
                                     cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_scene.GetSceneRoot(), nullptr);
    EXPECT_TRUE(m_world.log.Contains("Cannot retrieve SceneRoot because this scene is not loaded."));
    m_scene.SetSceneManager(&m_world.ogre.SceneManager());
}
