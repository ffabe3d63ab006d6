#include "graphics/cl_LightPatch.h"

#include "graphics/cl_Backdrop.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

namespace
{
class LightPatch : public testing::Test
{
protected:
    LightPatch() { m_patch.SetTexture("glow.png"); }

    const Ogre::Pass& Pass() { return *m_patch.GetMaterial()->getTechnique(0)->getPass(0); }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("hall");
    cl_LightPatch m_patch{m_backdrop, 64.0f, 64.0f};
};
} // namespace

TEST_F(LightPatch, AddsOrDarkensByItsMode)
{
    m_patch.UpdateMaterial();
    EXPECT_EQ(Pass().getSourceBlendFactor(), Ogre::SBF_SOURCE_ALPHA);
    EXPECT_EQ(Pass().getDestBlendFactor(), Ogre::SBF_ONE);

    m_patch.SetLightMode(cl_LightPatch::LIGHT_DARKEN);
    m_patch.UpdateMaterial();
    EXPECT_EQ(Pass().getSourceBlendFactor(), Ogre::SBF_SOURCE_ALPHA);
    EXPECT_EQ(Pass().getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA);
}

TEST_F(LightPatch, AnUnknownModeIsAnErrorAndKeepsTheBlending)
{
    m_patch.SetLightMode(7);
    m_patch.UpdateMaterial();
    EXPECT_TRUE(m_world.log.Contains("Unknown Lightpatch-Mode!", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(Pass().getDestBlendFactor(), Ogre::SBF_ONE);
}

TEST_F(LightPatch, TintsItsTextureByItsColourAndWeighsItByItsAlpha)
{
    const Ogre::ColourValue orange(1.0f, 0.5f, 0.0f, 1.0f);
    m_patch.SetAlpha(0.5f);
    m_patch.SetColor(orange);
    EXPECT_EQ(Pass().getDiffuse(), orange);
    EXPECT_EQ(Pass().getAmbient(), orange);
    const Ogre::TextureUnitState& unit = *Pass().getTextureUnitState(0);
    EXPECT_EQ(unit.getColourBlendMode().operation, Ogre::LBX_MODULATE);
    EXPECT_EQ(unit.getColourBlendMode().source1, Ogre::LBS_TEXTURE);
    EXPECT_EQ(unit.getColourBlendMode().source2, Ogre::LBS_MANUAL);
    EXPECT_EQ(unit.getColourBlendMode().colourArg2, orange);
    EXPECT_EQ(unit.getAlphaBlendMode().operation, Ogre::LBX_MODULATE);
    EXPECT_EQ(unit.getAlphaBlendMode().source2, Ogre::LBS_MANUAL);
    EXPECT_EQ(unit.getAlphaBlendMode().alphaArg2, 0.5f);
}
