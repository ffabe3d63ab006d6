#include "graphics/cl_CompositorEffect.h"

#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_EffectManager.h"
#include "support/LogCapture.h"
#include "support/TestWindow.h"

#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreCompositionPass.h>
#include <OgreCompositionTargetPass.h>
#include <OgreCompositionTechnique.h>
#include <OgreCompositor.h>
#include <OgreCompositorChain.h>
#include <OgreCompositorManager.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderTexture.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace
{
bool IsGreen(const TestWindow::Colour& colour)
{
    return colour.g > 200 && colour.r < 40 && colour.b < 40;
}

// A window showing nothing but black, and the compositor "Test/Green", which paints the view green.
class CompositorEffects : public testing::Test
{
protected:
    CompositorEffects()
    {
        Ogre::MaterialPtr green = Ogre::MaterialManager::getSingleton().create("Test/GreenQuad", "General");
        Ogre::Pass* pass = green->getTechnique(0)->getPass(0);
        pass->setLightingEnabled(false);
        pass->setDepthCheckEnabled(false);
        pass->createTextureUnitState()->setColourOperationEx(Ogre::LBX_SOURCE1, Ogre::LBS_MANUAL,
                                                             Ogre::LBS_CURRENT, Ogre::ColourValue::Green);
        Ogre::CompositorPtr compositor =
            Ogre::CompositorManager::getSingleton().create("Test/Green", "General");
        Ogre::CompositionTargetPass* output = compositor->createTechnique()->getOutputTargetPass();
        output->setInputMode(Ogre::CompositionTargetPass::IM_NONE);
        output->createPass(Ogre::CompositionPass::PT_RENDERQUAD)->setMaterial(green);
    }
    // Loads the effects, the scene manager not yet rendered (so the viewport comes from its camera).
    void Load(const std::string& effects)
    {
        m_document.Parse(effects.c_str());
        m_effects.LoadEffects(
            m_document.RootElement(), [](const std::string&) { return true; }, &m_window.SceneManager());
    }
    bool Green()
    {
        m_window.Render();
        return IsGreen(m_window.At(40, 30));
    }
    size_t ChainLength() const
    {
        return Ogre::CompositorManager::getSingleton()
            .getCompositorChain(&m_window.Viewport())
            ->getCompositorInstances()
            .size();
    }

    LogCapture m_log;
    TestWindow m_window{80, 60};
    cl_LuaScriptSystem m_script;
    cl_EffectManager m_effects{m_script};
    TiXmlDocument m_document;
};

TEST_F(CompositorEffects, ACompositorIsSwitchedOnWithItsEffectAndRemovedWithIt)
{
    Load(
        R"(<effects><effect id="grey" type="compositor"><template>Test/Green</template></effect></effects>)");
    EXPECT_TRUE(Green());
    cl_BaseEffect& grey = *m_effects.FindEffect("grey");
    grey.SetActive(false);
    EXPECT_FALSE(Green());
    grey.SetActive(true);
    EXPECT_TRUE(Green());
    m_effects.UnloadEffects(m_document.RootElement());
    EXPECT_FALSE(Green());
    EXPECT_EQ(ChainLength(), 0u);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(CompositorEffects, ADisabledCompositorIsAddedButNeverSwitchedOn)
{
    Load(
        R"(<effects><effect id="grey" type="compositor" enabled="false"><template>Test/Green</template></effect></effects>)");
    EXPECT_FALSE(Green());
    EXPECT_EQ(ChainLength(), 1u);
    const auto* grey = static_cast<cl_CompositorEffect*>(m_effects.FindEffect("grey"));
    ASSERT_NE(grey->GetCompositorInstance(), nullptr);
    EXPECT_FALSE(grey->GetCompositorInstance()->getEnabled());
}

TEST_F(CompositorEffects, ItGoesOnTheWindowsViewportNotOnARenderTextureOfTheScene)
{
    // A render texture seen by a camera of the scene, as a mirror or a light shaft makes before the
    // compositor is read, and gone again before it.
    Ogre::TexturePtr texture = Ogre::TextureManager::getSingleton().createManual(
        "Test/Mirror", Ogre::RGN_DEFAULT, Ogre::TEX_TYPE_2D, 16, 16, 0, Ogre::PF_X8R8G8B8,
        Ogre::TU_RENDERTARGET);
    Ogre::Camera* mirror = m_window.SceneManager().createCamera("A_MirrorCam");
    texture->getBuffer()->getRenderTarget()->addViewport(mirror);
    Load(
        R"(<effects><effect id="grey" type="compositor"><template>Test/Green</template></effect></effects>)");
    Ogre::TextureManager::getSingleton().remove(texture);
    texture.reset();
    EXPECT_TRUE(Green());
    m_effects.UnloadEffects(m_document.RootElement());
    EXPECT_FALSE(Green());
    EXPECT_EQ(ChainLength(), 0u);
}

TEST_F(CompositorEffects, ARenderTextureDrawnLastAndGoneBeforeTheLoadIsNotTaken)
{
    // As a scene that is loaded again after its mirror drew the last picture and went with it: OGRE's
    // scene manager still names that texture's viewport as the one it drew into.
    Ogre::TexturePtr texture = Ogre::TextureManager::getSingleton().createManual(
        "Test/Mirror", Ogre::RGN_DEFAULT, Ogre::TEX_TYPE_2D, 16, 16, 0, Ogre::PF_X8R8G8B8,
        Ogre::TU_RENDERTARGET);
    Ogre::Camera* mirror = m_window.SceneManager().createCamera("A_MirrorCam");
    Ogre::RenderTarget* target = texture->getBuffer()->getRenderTarget();
    target->addViewport(mirror);
    m_window.Render();
    target->update();
    Ogre::TextureManager::getSingleton().remove(texture);
    texture.reset();
    Load(
        R"(<effects><effect id="grey" type="compositor"><template>Test/Green</template></effect></effects>)");
    EXPECT_TRUE(Green());
    m_effects.UnloadEffects(m_document.RootElement());
    EXPECT_EQ(ChainLength(), 0u);
}

TEST_F(CompositorEffects, ACompositorOgreLacksIsLoggedOnceAndDoesNothing)
{
    Load(R"(<effects><effect id="grey" type="compositor"><template>Test/Grey</template></effect>
                     <effect id="bare" type="compositor"/></effects>)");
    EXPECT_TRUE(
        m_log.Contains("The compositor effect 'grey' cannot add the compositor 'Test/Grey'; it does nothing.",
                       cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(
        m_log.Contains("The compositor effect 'bare' cannot add the compositor ''", cl_Logger::LEVEL_ERROR));
    m_effects.FindEffect("grey")->SetActive(false);
    m_effects.FindEffect("grey")->SetActive(true);
    EXPECT_FALSE(Green());
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 2u);
    m_effects.UnloadEffects(m_document.RootElement());
}

TEST_F(CompositorEffects, TheDemosGreyscaleCompositorGreysWhatIsColouredAndGivesTheColoursBack)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/common", "FileSystem", "GAMEDATA");
    groups.initialiseResourceGroup("GAMEDATA");
    Ogre::BillboardSet* red = m_window.SceneManager().createBillboardSet();
    red->setMaterialName("BaseWhiteNoLighting");
    red->setDefaultDimensions(200, 200);
    red->createBillboard(Ogre::Vector3::ZERO, Ogre::ColourValue(0.9f, 0.1f, 0.1f));
    m_window.SceneManager().getRootSceneNode()->attachObject(red);
    Load(R"(<effects><effect id="grey" type="compositor" enabled="false"><template>Demo/Greyscale</template>
            </effect></effects>)");
    m_window.Render();
    const TestWindow::Colour coloured = m_window.At(40, 30);
    EXPECT_GT(coloured.r, 200);

    m_effects.FindEffect("grey")->SetActive(true);
    m_window.Render();
    const TestWindow::Colour grey = m_window.At(40, 30);
    const double luminance = 0.299 * coloured.r + 0.587 * coloured.g + 0.114 * coloured.b;
    for (int channel : {grey.r, grey.g, grey.b})
        EXPECT_NEAR(channel, luminance, 3.0);
    EXPECT_EQ(m_window.At(1, 1).r, 0);

    m_effects.FindEffect("grey")->SetActive(false);
    m_window.Render();
    EXPECT_EQ(m_window.At(40, 30).r, coloured.r);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    m_effects.UnloadEffects(m_document.RootElement());
}
} // namespace
