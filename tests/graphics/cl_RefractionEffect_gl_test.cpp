#include "graphics/cl_RefractionEffect.h"

#include "support/EffectWindow.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreGpuProgramParams.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderSystem.h>
#include <OgreRenderTexture.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <gtest/gtest.h>

#include <string>

namespace
{
// The pond with its mirror, or without (reflection ""), and more children.
std::string Pond(const std::string& children = "", bool mirrors = true)
{
    return std::string(R"(<effects><effect id="pond" type="refraction"><mesh>pond_water.mesh</mesh>)") +
           (mirrors ? "<reflection/>" : "") + children + "</effect></effects>";
}

class RefractionEffect : public testing::Test
{
protected:
    Ogre::SceneManager& Scene() const { return m_world.window.SceneManager(); }
    static Ogre::RenderTarget* Target(const std::string& texture) { return EffectWindow::Target(texture); }
    // What of the effect "pond" OGRE holds.
    std::string Objects() const
    {
        return m_world.Held(
            {"pond_RfrCam", "pond_RflCam", "pond_Refraction", "pond_Reflection", "pond_Ent", "pond_mtrl"});
    }
    Ogre::Pass& SurfacePass() const
    {
        return *Ogre::MaterialManager::getSingleton().getByName("pond_mtrl")->getTechnique(0)->getPass(0);
    }
    // The value of a float constant of the surface's program (the first of a vector's).
    const float* Constant(Ogre::GpuProgramType type, const std::string& name) const
    {
        const Ogre::GpuProgramParametersSharedPtr& parameters = SurfacePass().getGpuProgramParameters(type);
        return parameters->getFloatPointer(parameters->getConstantDefinition(name).physicalIndex);
    }
    Ogre::Vector4 Colour(const std::string& name) const
    {
        const float* value = Constant(Ogre::GPT_FRAGMENT_PROGRAM, name);
        return Ogre::Vector4(value[0], value[1], value[2], value[3]);
    }

    EffectWindow m_world{80, 60};
};

TEST_F(RefractionEffect, MakesItsNamedObjectsAndLeavesNoneOnceUnloaded)
{
    m_world.Load(Pond());
    EXPECT_EQ(Objects(), "pond_RfrCam pond_RflCam pond_Refraction pond_Reflection pond_Ent pond_mtrl ");
    EXPECT_EQ(SurfacePass().getTextureUnitState(1)->getTextureName(), "pond_Reflection");
    EXPECT_EQ(SurfacePass().getTextureUnitState(2)->getTextureName(), "pond_Refraction");
    EXPECT_EQ(SurfacePass().getTextureUnitState(0)->getTextureName(), "ripples.png")
        << "as the material has it";
    const Ogre::Entity& surface = *Scene().getEntity("pond_Ent");
    EXPECT_EQ(surface.getSubEntity(0)->getMaterialName(), "pond_mtrl");
    EXPECT_EQ(surface.getQueryFlags(), 0u);
    EXPECT_EQ(surface.getRenderQueueGroup(), 50);
    EXPECT_FALSE(surface.getCastShadows());
    const std::string targets[] = {Target("pond_Refraction")->getName(),
                                   Target("pond_Reflection")->getName()};
    m_world.window.Render();

    m_world.Unload();
    EXPECT_EQ(Objects(), "");
    for (const std::string& target : targets)
        EXPECT_EQ(Ogre::Root::getSingleton().getRenderSystem()->getRenderTarget(target), nullptr) << target;
    EXPECT_TRUE(
        Ogre::MaterialManager::getSingleton().resourceExists("Tarq/FresnelReflectionRefraction", "GAMEDATA"))
        << "only the copy goes";
    EXPECT_TRUE(m_world.log.Lines().empty());
}

TEST_F(RefractionEffect, WithoutReflectionItHasOneCameraAndOneTextureOnLayerOne)
{
    m_world.Load(Pond("", false));
    EXPECT_EQ(Objects(), "pond_RfrCam pond_Refraction pond_Ent pond_mtrl ");
    EXPECT_EQ(SurfacePass().getTextureUnitState(1)->getTextureName(), "pond_Refraction");
    EXPECT_EQ(Ogre::MaterialManager::getSingleton()
                  .getByName("pond_mtrl")
                  ->getTechnique(0)
                  ->getPass(0)
                  ->getNumTextureUnitStates(),
              2u)
        << "a copy of Tarq/SimpleRefraction";
}

TEST_F(RefractionEffect, SwitchedOffBothTexturesStopAndTheSurfaceHides)
{
    m_world.Load(Pond());
    cl_BaseEffect& pond = m_world.Effect("pond");
    for (const bool on : {false, true})
    {
        pond.SetActive(on);
        EXPECT_EQ(Target("pond_Refraction")->isActive(), on);
        EXPECT_EQ(Target("pond_Reflection")->isActive(), on);
        EXPECT_EQ(Scene().getEntity("pond_Ent")->isVisible(), on);
    }
}

TEST_F(RefractionEffect, SetsTheProgramsConstantsAndSkipsThoseTheyLack)
{
    m_world.Load(Pond(R"(<vsparam name="scale">4</vsparam><psparam name="distortion">0.5</psparam>
        <vsparam name="ripple">2</vsparam><psparam name="fresnelPower">abc</psparam><tint>1 0.5 0</tint>
        <renderqueue>60</renderqueue>)"));
    EXPECT_FLOAT_EQ(*Constant(Ogre::GPT_VERTEX_PROGRAM, "scale"), 4.0f);
    EXPECT_FLOAT_EQ(*Constant(Ogre::GPT_FRAGMENT_PROGRAM, "distortion"), 0.5f);
    EXPECT_FLOAT_EQ(*Constant(Ogre::GPT_FRAGMENT_PROGRAM, "fresnelPower"), 0.0f) << "no number reads as 0";
    EXPECT_EQ(Colour("tintColour"), Ogre::Vector4(1.0f, 0.5f, 0.0f, 1.0f));
    EXPECT_EQ(Colour("specColour"), Ogre::Vector4(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(Scene().getEntity("pond_Ent")->getRenderQueueGroup(), 60);
    EXPECT_TRUE(m_world.log.Contains("The refraction effect 'pond': its material's vertex program has no "
                                     "constant 'ripple'; it is skipped.",
                                     cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(m_world.log.Lines().size(), 1u);
    m_world.Unload();

    m_world.Load(Pond("<spec>abc</spec><renderqueue>300</renderqueue>"));
    EXPECT_EQ(Colour("tintColour"), Ogre::Vector4(0.0f, 0.0f, 0.0f, 0.0f)) << "without tint";
    EXPECT_EQ(Colour("specColour"), Ogre::Vector4(0.0f, 0.0f, 0.0f, 1.0f)) << "a spec that does not read";
    EXPECT_EQ(Scene().getEntity("pond_Ent")->getRenderQueueGroup(), Ogre::RENDER_QUEUE_MAX);
    EXPECT_TRUE(m_world.log.Contains("render queue 300 does not exist", cl_Logger::LEVEL_WARNING));
}

TEST_F(RefractionEffect, RendersWhatLiesBelowTheSurfaceAsTheGameCameraSeesIt)
{
    m_world.LookAt(Ogre::Vector3(0, 200, 300), Ogre::Vector3::ZERO);
    m_world.AddBox("below", Ogre::Vector3(-30, -30, 0), 20,
                   EffectWindow::ColourMaterial("Test/Red", Ogre::ColourValue::Red));
    m_world.AddBox("above", Ogre::Vector3(30, 30, 0), 20,
                   EffectWindow::ColourMaterial("Test/Green", Ogre::ColourValue::Green));
    // A backdrop's shift, as it projects the game's view.
    Ogre::Camera& game = m_world.window.Camera();
    Ogre::Matrix4 shifted = game.getProjectionMatrix();
    shifted[0][2] = 0.2f;
    game.setCustomProjectionMatrix(true, shifted);
    m_world.Load(Pond("", false));
    m_world.window.Render();

    const Ogre::Camera& refraction = *Scene().getCamera("pond_RfrCam");
    EXPECT_TRUE(refraction.getDerivedPosition().positionEquals(game.getDerivedPosition()));
    const Ogre::Matrix4 copied = refraction.getProjectionMatrix();
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_FLOAT_EQ(copied[row][column], shifted[row][column]) << row << ", " << column;
    const EffectWindow::Pixels below = EffectWindow::ReadTexture("pond_Refraction");
    EXPECT_TRUE(below.Any(0, 0, below.width - 1, below.height - 1, EffectWindow::IsRed));
    EXPECT_FALSE(below.Any(0, 0, below.width - 1, below.height - 1, EffectWindow::IsGreen))
        << "cut off at the surface";
}

TEST(RefractionOnScreen, TheWaterShowsWhatLiesBelowItWhereItLies)
{
    const int size = 80;
    EffectWindow world(size, size);
    world.window.Camera().setAspectRatio(1.0f);
    world.LookAt(Ogre::Vector3(0, 300, 1), Ogre::Vector3::ZERO);
    const Ogre::Vector3 place(-40, -20, -30);
    world.AddBox("below", place, 20, EffectWindow::ColourMaterial("Test/Red", Ogre::ColourValue::Red));
    world.Load(Pond(R"(<psparam name="distortion">0</psparam><spec>0 0 0</spec>)", false));
    world.window.Render();

    // Where the box shows on the screen, and the place mirrored top to bottom.
    const Ogre::Camera& camera = world.window.Camera();
    const Ogre::Vector3 screen = camera.getProjectionMatrix() * (camera.getViewMatrix() * place);
    const int x = static_cast<int>((screen.x * 0.5f + 0.5f) * size);
    const int y = static_cast<int>((0.5f - screen.y * 0.5f) * size);
    ASSERT_GT(std::abs(y - size / 2), 6) << "off the middle, so that a flip would show";
    EXPECT_TRUE(EffectWindow::IsRed(world.window.At(x, y)));
    EXPECT_FALSE(EffectWindow::IsRed(world.window.At(x, size - 1 - y)));
    EXPECT_TRUE(world.log.Lines().empty());
}

TEST_F(RefractionEffect, AMissingMeshOrMaterialLeavesTheEffectEmpty)
{
    m_world.Load(R"(<effects><effect id="pond" type="refraction"><mesh>lost.mesh</mesh></effect></effects>)");
    EXPECT_TRUE(m_world.log.Contains("The refraction effect 'pond' cannot be made of the mesh 'lost.mesh'",
                                     cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(Objects(), "");
    m_world.Unload();

    Ogre::MaterialManager::getSingleton().remove("Tarq/SimpleRefraction", "GAMEDATA");
    m_world.Load(Pond("", false));
    EXPECT_TRUE(
        m_world.log.Contains("The refraction effect 'pond' cannot be made of the mesh 'pond_water.mesh' "
                             "and the material 'Tarq/SimpleRefraction'",
                             cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(Objects(), "");
    m_world.Effect("pond").SetActive(false);
    m_world.window.Render();
}
} // namespace
