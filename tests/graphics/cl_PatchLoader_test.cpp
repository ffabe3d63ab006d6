#include "graphics/cl_PatchLoader.h"

#include "common/XmlParse.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_LightPatch.h"
#include "graphics/cl_MultitextureAnimatedPatch.h"
#include "graphics/cl_TexturePane.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <OgrePass.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>
#include <tinyxml.h>

#include <string>
#include <typeinfo>

namespace
{
class PatchLoader : public testing::Test
{
protected:
    cl_Patch* Load(const std::string& xml)
    {
        TiXmlDocument document;
        ParseXml(document, xml, "test element");
        return m_backdrop.LoadPatch(*document.RootElement());
    }

    static const Ogre::Pass& Pass(cl_Patch& patch)
    {
        return *patch.GetMaterial()->getTechnique(0)->getPass(0);
    }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("hall");
};
} // namespace

TEST(PatchRenderQueue, IsANumberOrAWordWithAnOffsetWrappedToAByte)
{
    struct Case
    {
        const char* text;
        int group;
    };
    const Case cases[] = {
        {"75", 75},
        {"300", 0},
        {"foreground+2", 92},
        {"scene-5", 65},
        {"background", 0},
        {"shadow", 80},
        {"light+190", 9},
        {"junk", 0},
        {"scene+", 70},
        {"-5", 251},
        {"light-100", 231},
        {"+5", 10},
        {"foreground-2+1", 91},
    };
    for (const Case& test : cases)
        EXPECT_EQ(cl_PatchLoader::ReadRenderQueue(test.text, 0), test.group) << test.text;
    EXPECT_EQ(cl_PatchLoader::ReadRenderQueue("300", 70), 70);
}

TEST_F(PatchLoader, EachKindHasItsDefaults)
{
    struct Case
    {
        const char* xml;
        const std::type_info& type;
        int group;
        int priority;
        bool depthCheck;
        bool manualAlpha;
    };
    const Case cases[] = {
        {R"(<patch width="8" height="8" src="a.png"/>)", typeid(cl_Patch), 0, 0, false, false},
        {R"(<scenepatch width="8" height="8" src="a.png"/>)", typeid(cl_Patch), 70, 0, true, true},
        {R"(<foregroundpatch width="8" height="8" src="a.png"/>)", typeid(cl_Patch), 90, 0, false, true},
        {R"(<lightpatch width="8" height="8" src="a.png"/>)", typeid(cl_LightPatch), 75, 1, true, false},
        {R"(<animatedpatch width="8" height="8" src="a.png"/>)", typeid(cl_Patch), 0, 0, false, false},
        {R"(<animatedpatch width="8" height="8" src="a.png"><framelayout/></animatedpatch>)",
         typeid(cl_AnimatedPatch), 0, 1, false, false},
        {R"(<animatedpatch width="8" height="8" src="a.png"><framelayout multitexture="true"/></animatedpatch>)",
         typeid(cl_MultitextureAnimatedPatch), 0, 1, false, false},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.xml);
        cl_Patch* patch = Load(test.xml);
        ASSERT_NE(patch, nullptr);
        EXPECT_EQ(typeid(*patch), test.type);
        EXPECT_EQ(patch->GetPane().getRenderQueueGroup(), test.group);
        EXPECT_EQ(patch->GetPane().GetPriority(), test.priority);
        EXPECT_EQ(patch->GetDepthCheck(), test.depthCheck);
        EXPECT_FALSE(patch->GetDepthWrite());
        EXPECT_EQ(patch->GetManualAlpha(), test.manualAlpha);
        EXPECT_EQ(patch->GetPane().getVisibilityFlags(), 1u);
    }
}

TEST_F(PatchLoader, TakesWhatTheAttributesSay)
{
    m_world.textures.AddTexture("hall.png", 800, 600);
    cl_Patch* patch = Load(R"(<scenepatch width="100" height="50" src="hall.png" x="10" y="20" offsetX="200"
        offsetY="300" texWidth="400" texHeight="150" renderqueue="background+3" depthwrite="true"
        depthcheck="false" depthBias="4" alpha="false" manualalpha="0.5" camDist="250"/>)");
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(patch->GetPosition(), Ogre::Vector2(10.0f, 20.0f));
    EXPECT_EQ(patch->GetPane().getRenderQueueGroup(), 3);
    EXPECT_EQ(patch->GetPane().GetPriority(), 4);
    EXPECT_TRUE(patch->GetDepthWrite());
    EXPECT_FALSE(patch->GetDepthCheck());
    EXPECT_FALSE(patch->GetManualAlpha());
    EXPECT_EQ(patch->GetAlpha(), 0.5f);
    EXPECT_EQ(Pass(*patch).getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA);
    // At 250 from the eye on the ray through its point.
    const float distance = (m_backdrop.BackdropToWorld(10.0f, 20.0f) - BackdropWorld::EYE).length();
    EXPECT_NEAR(patch->GetSceneNode()->getScale().x, 250.0f / distance, 1e-5f);
}

TEST_F(PatchLoader, ATextureWithoutExtensionIsADdsFile)
{
    EXPECT_EQ(
        Pass(*Load(R"(<patch width="8" height="8" src="wall"/>)")).getTextureUnitState(0)->getTextureName(),
        "wall.dds");
    EXPECT_EQ(Pass(*Load(R"(<patch width="8" height="8" src="wall.png"/>)"))
                  .getTextureUnitState(0)
                  ->getTextureName(),
              "wall.png");
}

TEST_F(PatchLoader, OnlyTrueKeepsAPatchVisible)
{
    struct Case
    {
        const char* visible;
        bool shown;
    };
    const Case cases[] = {{"true", true}, {"", true}, {"false", false}, {"0", false}, {"no", false}};
    for (const Case& test : cases)
    {
        const std::string xml =
            std::string(R"(<patch width="8" height="8" src="a.png" visible=")") + test.visible + "\"/>";
        EXPECT_EQ(Load(xml)->IsVisible(), test.shown) << test.visible;
    }
}

TEST_F(PatchLoader, ReflectionsAndRefractionsAddViews)
{
    struct Case
    {
        const char* attributes;
        uint32_t flags;
    };
    const Case cases[] = {{"", 1},
                          {R"(reflection="true")", 3},
                          {R"(refraction="true")", 5},
                          {R"(reflection="true" refraction="true")", 7},
                          {R"(reflection="yes")", 1}};
    for (const Case& test : cases)
    {
        const std::string xml =
            std::string(R"(<patch width="8" height="8" src="a.png" )") + test.attributes + "/>";
        EXPECT_EQ(Load(xml)->GetPane().getVisibilityFlags(), test.flags) << test.attributes;
    }
}

TEST_F(PatchLoader, ReadsTheAnimation)
{
    struct Case
    {
        const char* attributes;
        int mode;
        bool playing;
        int frame;
    };
    const Case cases[] = {
        {R"(loop="loop")", 1, true, -1},      {R"(loop="yes")", 1, true, -1},
        {R"(loop="bounce")", 2, true, 0},     {R"(loop="none")", 0, true, 0},
        {R"(enabled="false")", 1, false, -1}, {R"(timePosition="0.75")", 1, true, 3},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.attributes);
        const std::string xml =
            std::string(R"(<animatedpatch width="8" height="8" src="a.png" duration="1" )") +
            test.attributes + R"(><framelayout count="4" framesPerLine="2"/></animatedpatch>)";
        auto* patch = dynamic_cast<cl_AnimatedPatch*>(Load(xml));
        ASSERT_NE(patch, nullptr);
        EXPECT_EQ(patch->GetDuration(), 1.0f);
        EXPECT_EQ(patch->GetFrameCount(), 4);
        EXPECT_EQ(patch->GetMode(), test.mode);
        EXPECT_EQ(patch->IsPlaying(), test.playing);
        EXPECT_EQ(patch->GetCurrentFrame(), test.frame);
    }
}

TEST_F(PatchLoader, SpreadsFramesOverAsManyTexturesAsTheyNeed)
{
    auto* patch = dynamic_cast<cl_MultitextureAnimatedPatch*>(Load(R"(<animatedpatch width="8" height="8"
        src="torch.png"><framelayout multitexture="true" count="10" framesPerTexture="4"/></animatedpatch>)"));
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(patch->GetFrameMaterialCount(), 3u);
    EXPECT_EQ(patch->GetFramesPerTexture(), 4);
    EXPECT_EQ(patch->GetMaterial()->getName(), "torch0");
}

TEST_F(PatchLoader, ReadsTheLight)
{
    auto* patch = dynamic_cast<cl_LightPatch*>(Load(R"(<lightpatch width="8" height="8" src="glow.png"
        alpha="0.4" mode="darken"><color g="0.5" b="dim"/></lightpatch>)"));
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(patch->GetAlpha(), 0.4f);
    EXPECT_EQ(patch->GetLightMode(), cl_LightPatch::LIGHT_DARKEN);
    // r is missing and keeps its 1; b is there but no number.
    EXPECT_EQ(patch->GetColor(), Ogre::ColourValue(1.0f, 0.5f, 0.0f, 1.0f));
    EXPECT_EQ(Pass(*patch).getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA);
}

TEST_F(PatchLoader, DarkensAlsoWithoutAColour)
{
    cl_Patch* patch = Load(R"(<lightpatch width="8" height="8" src="glow.png" mode="darken" alpha="0.3"/>)");
    EXPECT_EQ(Pass(*patch).getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA);
    EXPECT_EQ(Pass(*patch).getTextureUnitState(0)->getAlphaBlendMode().alphaArg2, 0.3f);
}

TEST_F(PatchLoader, BadElementsAreLoggedWithTheBackdropsName)
{
    struct Case
    {
        const char* xml;
        bool makesPatch;
        const char* log;
    };
    const Case cases[] = {
        {R"(<patch height="8" src="a.png"/>)", false,
         "Backdrop 'hall': a patch without a width and a height"},
        {R"(<scenepatch width="wide" height="8"/>)", false, "Backdrop 'hall': a scenepatch without a width"},
        {R"(<sprite width="8" height="8"/>)", false, "Backdrop 'hall': 'sprite' is no patch element."},
        {R"(<patch width="8" height="8"/>)", true, "Backdrop 'hall': a patch without src shows no texture."},
        {R"(<patch width="8" height="8" src="a.png" x="left"/>)", true,
         "Backdrop 'hall': the x of a patch is no number: 'left'."},
        {R"(<patch width="8" height="8" src="a.png" depthBias="99999999999"/>)", true,
         "Backdrop 'hall': the depthBias of a patch is no integer"},
        {R"(<patch width="8" height="8" src="a.png" renderqueue="200"/>)", true,
         "Backdrop 'hall': render queue 200 does not exist; the patch is drawn in 105."},
        {R"(<patch width="8" height="8" src="a.png"><alpha src="flicker"/></patch>)", true,
         "Backdrop 'hall': the alpha source 'flicker' of a patch does not exist."},
        {R"(<animatedpatch width="8" height="8" src="a.png" duration="0"><framelayout/></animatedpatch>)",
         true, "Backdrop 'hall': an animation of 0.000000 seconds plays in 1 second."},
        {R"(<animatedpatch width="8" height="8" src="a.png"><framelayout multitexture="true"
            framesPerTexture="0" count="2000000000"/></animatedpatch>)",
         true, "Backdrop 'hall': 2000000000 frame textures are too many; the patch takes the first 1024."},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.xml);
        m_world.log.Clear();
        EXPECT_EQ(Load(test.xml) != nullptr, test.makesPatch);
        EXPECT_TRUE(m_world.log.Contains(test.log));
    }
}

TEST_F(PatchLoader, AnUninitialisedBackdropTakesNoPatch)
{
    cl_Backdrop backdrop(100.0f, 100.0f, "cellar");
    TiXmlDocument document;
    ParseXml(document, R"(<patch width="8" height="8" src="a.png"/>)", "patch");
    EXPECT_EQ(backdrop.LoadPatch(*document.RootElement()), nullptr);
    EXPECT_TRUE(m_world.log.Contains("Backdrop 'cellar' is not initialised and takes no patch."));
}
