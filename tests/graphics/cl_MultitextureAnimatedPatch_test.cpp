#include "graphics/cl_MultitextureAnimatedPatch.h"

#include "graphics/cl_Backdrop.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <OgrePass.h>
#include <OgreTechnique.h>

namespace
{
// Ten frames, four on each texture, two in a row: torch0.png, torch1.png and torch2.png.
class MultitextureAnimatedPatch : public testing::Test
{
protected:
    MultitextureAnimatedPatch()
    {
        for (const char* texture : {"torch0.png", "torch1.png", "torch2.png"})
            m_world.textures.AddTexture(texture, 64, 64);
        m_patch.SetSize(32.0f, 32.0f);
        m_patch.CreateFrameMaterials("torch.png", 3);
        m_patch.SetFramesPerTexture(4);
        m_patch.SetDuration(10.0f);
        m_patch.SetFrameLayout(10, 2);
    }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("hall");
    cl_MultitextureAnimatedPatch m_patch{m_backdrop, 32.0f, 32.0f};
};
} // namespace

TEST_F(MultitextureAnimatedPatch, ShowsTheTextureOfTheCurrentFrame)
{
    EXPECT_EQ(m_patch.GetFrameMaterialCount(), 3u);
    const char* materials[] = {"torch0", "torch0", "torch0", "torch0", "torch1",
                               "torch1", "torch1", "torch1", "torch2", "torch2"};
    for (int frame = 0; frame < 10; ++frame)
    {
        m_patch.SetFrame(frame);
        EXPECT_EQ(m_patch.GetMaterial()->getName(), materials[frame]) << "frame " << frame;
    }
}

TEST_F(MultitextureAnimatedPatch, AFrameBeyondItsTexturesShowsTheFirst)
{
    m_patch.SetFramesPerTexture(2);
    m_patch.SetFrame(7);
    EXPECT_EQ(m_patch.GetMaterial()->getName(), "torch0");
}

TEST_F(MultitextureAnimatedPatch, BlendsEveryFrameMaterialByItsFlagsAlone)
{
    m_patch.SetManualAlpha(true);
    m_patch.SetAlpha(0.2f);
    m_patch.SetDepthCheck(true);
    m_patch.UpdateMaterial();
    for (int frame : {0, 4, 8})
    {
        m_patch.SetFrame(frame);
        const Ogre::Pass& pass = *m_patch.GetMaterial()->getTechnique(0)->getPass(0);
        EXPECT_EQ(pass.getDestBlendFactor(), Ogre::SBF_ONE_MINUS_SOURCE_ALPHA);
        EXPECT_TRUE(pass.getDepthCheckEnabled());
        EXPECT_EQ(pass.getTextureUnitState(0)->getAlphaBlendMode().operation, Ogre::LBX_MODULATE);
        EXPECT_EQ(pass.getTextureUnitState(0)->getAlphaBlendMode().source1, Ogre::LBS_TEXTURE);
    }
}
