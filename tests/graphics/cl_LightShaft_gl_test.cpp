#include "graphics/cl_LightShaft.h"

#include "support/EffectWindow.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
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
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <OgreViewport.h>
#include <gtest/gtest.h>

#include <string>

namespace
{
const int WIDTH = 160;
const int HEIGHT = 120;

// A light shaft "shaft" hanging on the node "lamp" at (0, 150, 0), shining down.
std::string Shaft(const std::string& attributes = "", const std::string& id = "shaft")
{
    return "<effect id=\"" + id + "\" type=\"lightshaft\" " + attributes + "><parent>lamp</parent></effect>";
}

std::string Effects(const std::string& effects)
{
    return "<effects>" + effects + "</effects>";
}

class LightShaft : public testing::Test
{
protected:
    LightShaft()
    {
        m_lamp = Scene().getSceneNode("_game")->createChildSceneNode("lamp", Ogre::Vector3(0, 150, 0));
    }
    Ogre::SceneManager& Scene() const { return m_world.window.SceneManager(); }
    static Ogre::RenderTarget* DepthMap() { return EffectWindow::Target("LightDepthMap"); }
    Ogre::BillboardSet* Slices() const
    {
        return Scene().hasBillboardSet("LightBillboardSet") ? Scene().getBillboardSet("LightBillboardSet")
                                                            : nullptr;
    }
    // A fragment constant of the material's first technique of the scheme "LSD", first pass.
    static const float* DepthConstant(const std::string& material, const std::string& name)
    {
        for (Ogre::Technique* technique :
             Ogre::MaterialManager::getSingleton().getByName(material)->getTechniques())
        {
            if (technique->getSchemeName() != "LSD")
                continue;
            const Ogre::GpuProgramParametersSharedPtr& parameters =
                technique->getPass(0)->getFragmentProgramParameters();
            return parameters->getFloatPointer(parameters->getConstantDefinition(name).physicalIndex);
        }
        return nullptr;
    }
    // The mean brightness (0..765) of the 5 x 5 pixels round where the world point shows.
    int Brightness(const Ogre::Vector3& point) const
    {
        const Ogre::Camera& camera = m_world.window.Camera();
        const Ogre::Vector3 screen = camera.getProjectionMatrix() * (camera.getViewMatrix() * point);
        const int x = static_cast<int>((screen.x * 0.5f + 0.5f) * WIDTH);
        const int y = static_cast<int>((0.5f - screen.y * 0.5f) * HEIGHT);
        int sum = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
            {
                const TestWindow::Colour colour = m_world.window.At(x + dx, y + dy);
                sum += colour.r + colour.g + colour.b;
            }
        return sum / 25;
    }

    EffectWindow m_world{WIDTH, HEIGHT};
    Ogre::SceneNode* m_lamp;
};

TEST_F(LightShaft, MakesItsObjectsUnderItsParentAndLeavesNoneOnceUnloaded)
{
    const size_t cameras = Scene().getCameras().size();
    m_world.Load(Effects(Shaft()));
    ASSERT_TRUE(Scene().hasCamera("LightCamera"));
    const Ogre::Camera& camera = *Scene().getCamera("LightCamera");
    EXPECT_FLOAT_EQ(camera.getNearClipDistance(), 1.0f);
    EXPECT_FLOAT_EQ(camera.getFarClipDistance(), 400.0f);
    EXPECT_FLOAT_EQ(camera.getAspectRatio(), 1.0f);
    EXPECT_FLOAT_EQ(camera.getFOVy().valueDegrees(), 17.5f);
    EXPECT_TRUE(camera.getDerivedDirection().positionEquals(Ogre::Vector3::NEGATIVE_UNIT_Y))
        << "shining down";
    EXPECT_EQ(camera.getParentSceneNode()->getParentSceneNode(), m_lamp);
    ASSERT_NE(Slices(), nullptr);
    EXPECT_EQ(Slices()->getNumBillboards(), 60);
    EXPECT_EQ(Slices()->getMaterialName(), "LightShafts");
    EXPECT_EQ(Slices()->getRenderQueueGroup(), 99);
    EXPECT_EQ(Slices()->getParentSceneNode(), camera.getParentSceneNode());
    ASSERT_NE(DepthMap(), nullptr);
    EXPECT_EQ(DepthMap()->getWidth(), 256u);
    EXPECT_EQ(DepthMap()->getViewport(0)->getMaterialScheme(), "LSD");
    EXPECT_EQ(DepthMap()->getViewport(0)->getBackgroundColour(), Ogre::ColourValue::White);
    const Ogre::Pass& pass =
        *Ogre::MaterialManager::getSingleton().getByName("LightShafts")->getTechnique(0)->getPass(0);
    EXPECT_EQ(pass.getTextureUnitState(0)->getTextureName(), "LightDepthMap");
    EXPECT_EQ(pass.getTextureUnitState(1)->getTextureName(), "lightshaft.png");
    const std::string target = DepthMap()->getName();
    m_world.window.Render();

    m_world.Unload();
    EXPECT_FALSE(Scene().hasCamera("LightCamera"));
    EXPECT_EQ(Scene().getCameras().size(), cameras);
    EXPECT_EQ(Slices(), nullptr);
    EXPECT_EQ(DepthMap(), nullptr);
    EXPECT_EQ(Ogre::Root::getSingleton().getRenderSystem()->getRenderTarget(target), nullptr);
    EXPECT_EQ(m_lamp->numChildren(), 0u);
    EXPECT_TRUE(m_world.log.Lines().empty());
}

TEST_F(LightShaft, SlicesRunFromNearToFarWideningWithTheLightsView)
{
    const struct
    {
        const char* attributes;
        int slices;
        float firstDistance; // from the light
        float firstSize;
        float lastDistance;
        float lastSize;
    } cases[] = {
        // At 90 degrees the light's view is twice as wide as it is far.
        {R"(angle="90" near="100" far="400" billboardcount="3")", 3, 100.0f, 200.0f, 300.0f, 600.0f},
        {R"(billboardcount="abc")", 60, 10.0f, 0.0f, 0.0f, 0.0f},
        {R"(billboardcount="0")", 0, 0.0f, 0.0f, 0.0f, 0.0f},
        {R"(billboardcount="-3")", 0, 0.0f, 0.0f, 0.0f, 0.0f},
    };
    for (const auto& c : cases)
    {
        m_world.Load(Effects(Shaft(c.attributes)));
        ASSERT_NE(Slices(), nullptr) << c.attributes;
        ASSERT_EQ(Slices()->getNumBillboards(), c.slices) << c.attributes;
        if (c.slices > 0)
        {
            const Ogre::Billboard& first = *Slices()->getBillboard(0);
            EXPECT_FLOAT_EQ(first.getPosition().z, -c.firstDistance) << c.attributes;
            if (c.firstSize > 0.0f)
            {
                const Ogre::Billboard& last = *Slices()->getBillboard(c.slices - 1);
                EXPECT_NEAR(first.getOwnWidth(), c.firstSize, 0.01f);
                EXPECT_NEAR(first.getOwnHeight(), c.firstSize, 0.01f);
                EXPECT_FLOAT_EQ(last.getPosition().z, -c.lastDistance);
                EXPECT_NEAR(last.getOwnWidth(), c.lastSize, 0.01f);
            }
        }
        m_world.Unload();
    }
}

TEST_F(LightShaft, ValuesTheEngineCannotTakeKeepTheirDefaultsWithAWarning)
{
    const struct
    {
        const char* attributes;
        float angle;
        float farClip;
        int slices;
    } cases[] = {
        {R"(angle="180")", 17.5f, 400.0f, 60},
        {R"(angle="-30")", 17.5f, 400.0f, 60},
        {R"(near="500" far="10")", 17.5f, 400.0f, 60},
        {R"(near="0" far="1")", 17.5f, 400.0f, 60},
        {R"(billboardcount="2000000000")", 17.5f, 400.0f, 1000},
    };
    for (const auto& c : cases)
    {
        m_world.log.Clear();
        m_world.Load(Effects(Shaft(c.attributes)));
        const Ogre::Camera& camera = *Scene().getCamera("LightCamera");
        EXPECT_FLOAT_EQ(camera.getFOVy().valueDegrees(), c.angle) << c.attributes;
        EXPECT_FLOAT_EQ(camera.getFarClipDistance(), c.farClip) << c.attributes;
        EXPECT_EQ(Slices()->getNumBillboards(), c.slices) << c.attributes;
        EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 1u) << c.attributes;
        m_world.window.Render();
        m_world.Unload();
    }
}

TEST_F(LightShaft, EntitiesMaterialsGetTheLightsParametersOrAnEmptyDepthTechniqueOnce)
{
    Ogre::MaterialPtr twoPasses = Ogre::MaterialManager::getSingleton().create("Test/TwoPasses", "General");
    Ogre::Technique* depth = twoPasses->createTechnique();
    depth->setSchemeName("LSD");
    for (int i = 0; i < 2; ++i)
    {
        Ogre::Pass* pass = depth->createPass();
        pass->setVertexProgram("Demo/LightDepthVP");
        pass->setFragmentProgram("Demo/LightDepthFP");
    }
    const std::string plain = EffectWindow::ColourMaterial("Test/Plain", Ogre::ColourValue::Red);
    m_world.AddBox("plain", Ogre::Vector3(-30, 100, 0), 10, plain);
    m_world.AddBox("blocker", Ogre::Vector3(0, 100, 0), 10, "Demo/LightBlocker");
    m_world.AddBox("two passes", Ogre::Vector3(30, 100, 0), 10, "Test/TwoPasses");
    m_world.Load(Effects(Shaft(R"(near="20" far="300")")));
    m_world.window.Render();
    m_world.window.Render();

    const Ogre::MaterialPtr plainMaterial = Ogre::MaterialManager::getSingleton().getByName(plain);
    ASSERT_EQ(plainMaterial->getNumTechniques(), 2u) << "one added, once";
    EXPECT_EQ(plainMaterial->getTechnique(1)->getSchemeName(), "LSD");
    EXPECT_EQ(plainMaterial->getTechnique(1)->getNumPasses(), 0u);
    EXPECT_EQ(Ogre::MaterialManager::getSingleton().getByName("Demo/LightBlocker")->getNumTechniques(), 2u);

    const float* light = DepthConstant("Demo/LightBlocker", "uLightPosition");
    EXPECT_EQ(Ogre::Vector3(light[0], light[1], light[2]), Ogre::Vector3(0, 150, 0));
    EXPECT_FLOAT_EQ(*DepthConstant("Demo/LightBlocker", "uLightNearClipDistance"), 20.0f);
    EXPECT_FLOAT_EQ(*DepthConstant("Demo/LightBlocker", "uLightFarClipDistance"), 300.0f);
    const float* untouched = DepthConstant("Test/TwoPasses", "uLightPosition");
    EXPECT_EQ(Ogre::Vector3(untouched[0], untouched[1], untouched[2]), Ogre::Vector3::ZERO)
        << "two passes: nothing";
    EXPECT_TRUE(m_world.log.Lines().empty());
}

TEST_F(LightShaft, WhatBlocksTheLightDarkensTheSlicesBehindItAndNothingElseDoes)
{

    // Turned about the light's axis, the light's picture is read along its other axis too.
    for (const float yaw : {0.0f, 90.0f, 180.0f})
    {
        m_lamp->setOrientation(Ogre::Quaternion(Ogre::Degree(yaw), Ogre::Vector3::UNIT_Y));
        for (const bool blocks : {true, false})
        {
            Ogre::Entity* box =
                m_world.AddBox("box", Ogre::Vector3(15, 100, 0), 20,
                               blocks ? "Demo/LightBlocker"
                                      : EffectWindow::ColourMaterial("Test/Plain", Ogre::ColourValue::Black));
            m_world.Load(Effects(Shaft(R"(angle="60")")));
            m_world.window.Render();
            m_world.window.Render();
            const int left = Brightness(Ogre::Vector3(-40, 0, 0));
            const int right = Brightness(Ogre::Vector3(40, 0, 0));
            SCOPED_TRACE(std::to_string(yaw) + (blocks ? " blocking" : " plain"));
            EXPECT_GT(left, 60) << "lit beside the box";
            if (blocks)
                EXPECT_LT(right, left / 2) << "in the box's shadow";
            else
                EXPECT_NEAR(right, left, left / 10);

            m_world.Effect("shaft").SetActive(false);
            m_world.window.Render();
            EXPECT_LT(Brightness(Ogre::Vector3(-40, 0, 0)), 10) << "no shaft, no light";
            m_world.Unload();
            Ogre::SceneNode* node = box->getParentSceneNode();
            Scene().destroyEntity(box);
            Scene().destroySceneNode(node);
        }
    }
    EXPECT_TRUE(m_world.log.Lines().empty());
}

TEST_F(LightShaft, OnlyOneLightShaftExistsAtATime)
{
    m_world.Load(Effects(Shaft("", "first") + Shaft("", "second")));
    EXPECT_TRUE(m_world.log.Contains(
        "Only one light shaft can exist at a time: the light shaft 'second' shows nothing.",
        cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_world.log.Lines().size(), 1u);
    m_world.Effect("second").SetActive(false);
    m_world.Effect("second").Unload();
    EXPECT_TRUE(Scene().hasCamera("LightCamera")) << "the first keeps its objects";
    EXPECT_TRUE(Slices()->isVisible());
    m_world.window.Render();
}

TEST_F(LightShaft, WithoutItsMaterialItShowsNothing)
{
    Ogre::MaterialManager::getSingleton().remove("LightShafts", "GAMEDATA");
    m_world.Load(Effects(Shaft()));
    EXPECT_TRUE(
        m_world.log.Contains("The light shaft 'shaft' needs the material 'LightShafts'; it shows nothing.",
                             cl_Logger::LEVEL_ERROR));
    EXPECT_FALSE(Scene().hasCamera("LightCamera"));
    m_world.Effect("shaft").SetActive(false);
    m_world.window.Render();
}
} // namespace
