#include "graphics/cl_ReflectionEffect.h"

#include "support/EffectWindow.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMaterialManager.h>
#include <OgreRenderSystem.h>
#include <OgreRenderTexture.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSubEntity.h>
#include <OgreTextureManager.h>
#include <gtest/gtest.h>

#include <string>

namespace
{
const char* const TILE = R"(<effects><effect id="tile" type="reflection" %s>
    <mesh>polished_tile.mesh</mesh><texture>polished_tile.png</texture></effect></effects>)";

std::string Tile(const std::string& attributes = "")
{
    std::string text = TILE;
    text.replace(text.find("%s"), 2, attributes);
    return text;
}

class ReflectionEffect : public testing::Test
{
protected:
    Ogre::SceneManager& Scene() const { return m_world.window.SceneManager(); }
    static Ogre::RenderTarget* Target(const std::string& texture) { return EffectWindow::Target(texture); }
    // What of the effect "tile" OGRE holds.
    std::string Objects() const
    {
        return m_world.Held({"tile_Ent", "tile_RflCam", "tile_RflTex", "tile_RflMat"});
    }

    EffectWindow m_world{80, 60};
};

TEST_F(ReflectionEffect, MakesItsNamedObjectsAndLeavesNoneOnceUnloaded)
{
    const size_t cameras = Scene().getCameras().size();
    m_world.Load(Tile());
    EXPECT_EQ(Objects(), "tile_Ent tile_RflCam tile_RflTex tile_RflMat ");
    EXPECT_EQ(Scene().getCameras().size(), cameras + 1);
    const Ogre::TexturePtr picture = Ogre::TextureManager::getSingleton().getByName(
        "polished_tile.png", Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
    ASSERT_TRUE(picture);
    const Ogre::RenderTarget& target = *Target("tile_RflTex");
    EXPECT_EQ(target.getWidth(), picture->getWidth()) << "the picture's size";
    EXPECT_EQ(target.getHeight(), picture->getHeight());
    const std::string targetName = target.getName();
    const Ogre::Entity& surface = *Scene().getEntity("tile_Ent");
    EXPECT_EQ(surface.getSubEntity(0)->getMaterialName(), "tile_RflMat");
    EXPECT_EQ(surface.getQueryFlags(), 0u) << "never picked";
    EXPECT_EQ(surface.getRenderQueueGroup(), 79);
    EXPECT_EQ(surface.getParentSceneNode()->getName(), "_game");
    m_world.window.Render();

    m_world.Unload();
    EXPECT_EQ(Objects(), "");
    EXPECT_EQ(Scene().getCameras().size(), cameras);
    EXPECT_EQ(Ogre::Root::getSingleton().getRenderSystem()->getRenderTarget(targetName), nullptr)
        << "the render texture is gone from the render system too";
    EXPECT_TRUE(m_world.log.Lines().empty());
}

TEST_F(ReflectionEffect, TheCameraTakesNearFarAndFieldOfViewOnlyWhenTheyAreGiven)
{
    const Ogre::Camera* plain = Scene().createCamera("plain");
    const struct
    {
        const char* attributes;
        float fov; // degrees
        float nearClip;
        float farClip;
    } cases[] = {
        {"", plain->getFOVy().valueDegrees(), plain->getNearClipDistance(), plain->getFarClipDistance()},
        {R"(fov="30" near="2.5" far="800")", 30.0f, 2.5f, 800.0f},
        {R"(fov="abc" near="x" far="")", 60.0f, 5.0f, 1000.0f},
        {R"(fov="180" near="0" far="-1")", 60.0f, 5.0f, 1000.0f},
    };
    for (const auto& c : cases)
    {
        m_world.Load(Tile(c.attributes));
        const Ogre::Camera* camera = Scene().getCamera("tile_RflCam");
        EXPECT_FLOAT_EQ(camera->getFOVy().valueDegrees(), c.fov) << c.attributes;
        EXPECT_FLOAT_EQ(camera->getNearClipDistance(), c.nearClip) << c.attributes;
        EXPECT_FLOAT_EQ(camera->getFarClipDistance(), c.farClip) << c.attributes;
        m_world.Unload();
    }
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 3u) << "each number OGRE cannot take";
    EXPECT_TRUE(m_world.log.Contains("The effect 'tile': fov 180 must lie between 0 and 180; 60 is taken."));
}

TEST_F(ReflectionEffect, SwitchedOffItNeitherRendersNorShows)
{
    m_world.Load(Tile());
    cl_BaseEffect& tile = m_world.Effect("tile");
    tile.SetActive(false);
    EXPECT_FALSE(Target("tile_RflTex")->isActive());
    EXPECT_FALSE(Scene().getEntity("tile_Ent")->isVisible());
    tile.SetActive(true);
    EXPECT_TRUE(Target("tile_RflTex")->isActive());
    EXPECT_TRUE(Scene().getEntity("tile_Ent")->isVisible());

    m_world.Load(Tile(R"(enabled="false")"));
    EXPECT_FALSE(Target("tile_RflTex")->isActive()) << "loaded switched off";
}

TEST_F(ReflectionEffect, MirrorsWhatHasVisibilityFlagTwoAndNothingElse)
{
    m_world.LookAt(Ogre::Vector3(0, 200, 300), Ogre::Vector3::ZERO);
    m_world.AddBox("red", Ogre::Vector3(-25, 30, 0), 20,
                   EffectWindow::ColourMaterial("Test/Red", Ogre::ColourValue::Red), 1 | 2);
    m_world.AddBox("green", Ogre::Vector3(25, 30, 0), 20,
                   EffectWindow::ColourMaterial("Test/Green", Ogre::ColourValue::Green), 1);
    m_world.Load(Tile());
    m_world.window.Render();

    const EffectWindow::Pixels mirrored = EffectWindow::ReadTexture("tile_RflTex");
    const int half = mirrored.width / 2;
    EXPECT_TRUE(mirrored.Any(0, 0, half - 1, mirrored.height - 1, EffectWindow::IsRed))
        << "the red box, on its own side";
    EXPECT_FALSE(mirrored.Any(half, 0, mirrored.width - 1, mirrored.height - 1, EffectWindow::IsRed));
    EXPECT_FALSE(mirrored.Any(0, 0, mirrored.width - 1, mirrored.height - 1, EffectWindow::IsGreen))
        << "the green box lacks visibility flag 2";
    EXPECT_TRUE(m_world.log.Lines().empty());
}

TEST_F(ReflectionEffect, AMeshOrPictureOgreCannotLoadLeavesTheEffectEmpty)
{
    const struct
    {
        const char* text;
        const char* file;
    } cases[] = {
        {R"(<effects><effect id="tile" type="reflection"><mesh>lost.mesh</mesh>
            <texture>polished_tile.png</texture></effect></effects>)",
         "lost.mesh"},
        {R"(<effects><effect id="tile" type="reflection"><mesh>polished_tile.mesh</mesh>
            <texture>lost.png</texture></effect></effects>)",
         "lost.png"},
        {R"(<effects><effect id="tile" type="reflection"><texture>polished_tile.png</texture></effect></effects>)",
         "mesh ''"},
    };
    for (const auto& c : cases)
    {
        m_world.log.Clear();
        m_world.Load(c.text);
        ASSERT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 1u) << c.file;
        const std::string& line = m_world.log.Lines().front().text;
        EXPECT_NE(line.find("The reflection effect 'tile'"), std::string::npos) << line;
        EXPECT_NE(line.find(c.file), std::string::npos) << line;
        EXPECT_EQ(Objects(), "") << c.file;
        m_world.effects.FindEffect("tile")->SetActive(false);
        m_world.window.Render();
        m_world.Unload();
    }
}
} // namespace
