#include "graphics/cl_AnimatedPatch.h"

#include "graphics/cl_Backdrop.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <OgreMatrix4.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

#include <vector>

namespace
{
class AnimatedPatch : public testing::Test
{
protected:
    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("hall");
};

// Where the shown material's texture is moved to.
Ogre::Vector2 TextureOffset(cl_AnimatedPatch& patch)
{
    const Ogre::Matrix4& transform =
        patch.GetMaterial()->getTechnique(0)->getPass(0)->getTextureUnitState(0)->getTextureTransform();
    return Ogre::Vector2(transform[0][3], transform[1][3]);
}
} // namespace

TEST_F(AnimatedPatch, AdvancesByItsMode)
{
    // A pass of 2 seconds through 4 frames.
    struct Case
    {
        const char* name;
        int mode;
        float loopDelay;
        float start;
        float speed;
        std::vector<float> steps;
        float time;
        float speedAfter;
        bool playing;
        int frame;
    };
    const Case cases[] = {
        {"loop wraps past the end", 1, 0.0f, 1.9f, 1.0f, {0.3f}, 0.2f, 1.0f, true, 0},
        {"loop pauses at the end", 1, 0.5f, 1.9f, 1.0f, {0.3f}, 2.0f, 1.0f, true, 3},
        {"loop stays during the pause", 1, 0.5f, 1.9f, 1.0f, {0.3f, 0.3f}, 2.0f, 1.0f, true, 3},
        {"loop goes on by the pause's overrun", 1, 0.5f, 1.9f, 1.0f, {0.3f, 0.3f, 0.3f}, 0.1f, 1.0f, true, 0},
        {"backward loop wraps past the start", 1, 0.0f, 0.1f, -1.0f, {0.3f}, 1.8f, -1.0f, true, 3},
        {"bounce turns at the end", 2, 0.0f, 1.9f, 1.0f, {0.3f}, 1.8f, -1.0f, true, 3},
        {"bounce turns at the start", 2, 0.0f, 0.1f, -1.0f, {0.3f}, 0.2f, 1.0f, true, 0},
        {"none stops at the end", 0, 0.0f, 1.9f, 1.0f, {0.3f}, 2.0f, 1.0f, false, 3},
        {"none stops at the start", 0, 0.0f, 0.1f, -1.0f, {0.3f}, 0.0f, -1.0f, false, 0},
        {"speed scales the step", 1, 0.0f, 0.0f, 2.0f, {0.3f}, 0.6f, 2.0f, true, 1},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        cl_AnimatedPatch patch(m_backdrop, 32.0f, 32.0f);
        patch.SetDuration(2.0f);
        patch.SetFrameLayout(4, 2);
        patch.SetMode(test.mode);
        patch.SetLoopDelay(test.loopDelay);
        patch.SetSpeed(test.speed);
        patch.SetTimePosition(test.start);
        for (float dt : test.steps)
            patch.Update(dt);
        EXPECT_NEAR(patch.GetTimePosition(), test.time, 1e-5f);
        EXPECT_EQ(patch.GetSpeed(), test.speedAfter);
        EXPECT_EQ(patch.IsPlaying(), test.playing);
        EXPECT_EQ(patch.GetCurrentFrame(), test.frame);
    }
}

TEST_F(AnimatedPatch, ShowsNoFrameUntilItsFirstUpdateAndKeepsTheFrameWhenStopped)
{
    cl_AnimatedPatch patch(m_backdrop, 32.0f, 32.0f);
    patch.SetDuration(2.0f);
    patch.SetFrameLayout(4, 2);
    EXPECT_EQ(patch.GetCurrentFrame(), -1);
    patch.SetPlaying(false);
    patch.Update(1.0f);
    EXPECT_EQ(patch.GetTimePosition(), 0.0f);
    EXPECT_EQ(patch.GetCurrentFrame(), 0);
}

TEST_F(AnimatedPatch, GoesToTheStartOfAFrame)
{
    cl_AnimatedPatch patch(m_backdrop, 32.0f, 32.0f);
    patch.SetDuration(10.0f);
    patch.SetFrameLayout(10, 5);
    for (int frame = 0; frame < 10; ++frame)
    {
        patch.SetFrame(frame);
        EXPECT_EQ(patch.GetCurrentFrame(), frame);
    }
    patch.SetFrame(3);
    EXPECT_EQ(patch.GetTimePosition(), 3.0f);
    patch.SetFrame(12);
    EXPECT_EQ(patch.GetCurrentFrame(), 9);
}

TEST_F(AnimatedPatch, AnAnimationOfNoDurationShowsItsFirstFrameAndEnds)
{
    cl_AnimatedPatch patch(m_backdrop, 32.0f, 32.0f);
    patch.SetDuration(0.0f);
    patch.SetFrameLayout(4, 2);
    patch.Update(0.5f);
    patch.SetTimePosition(0.0f);
    EXPECT_EQ(patch.GetCurrentFrame(), 0);
}

TEST_F(AnimatedPatch, ShowsEachFrameWithoutATwoTexelBorder)
{
    // A 64 × 64 sheet of four 32 × 32 frames, two in a row.
    m_world.textures.AddTexture("torch.png", 64, 64);
    cl_AnimatedPatch patch(m_backdrop, 32.0f, 32.0f);
    patch.SetTexture("torch.png");
    patch.SetSize(32.0f, 32.0f);
    patch.SetDuration(2.0f);
    patch.SetFrameLayout(4, 2);
    patch.SetPosition(100.0f, 50.0f);
    EXPECT_EQ(patch.GetPosition(), Ogre::Vector2(102.0f, 52.0f));

    const float border = 2.0f / 64.0f;
    const Ogre::Vector2 cells[] = {{0.0f, 0.0f}, {0.5f, 0.0f}, {0.0f, 0.5f}, {0.5f, 0.5f}};
    for (int frame = 0; frame < 4; ++frame)
    {
        patch.SetFrame(frame);
        EXPECT_TRUE(TextureOffset(patch).positionEquals(cells[frame] + Ogre::Vector2(border, border), 1e-6f))
            << "frame " << frame;
    }
}

TEST_F(AnimatedPatch, AFrameLayoutOfNoFramesCountsAsOne)
{
    cl_AnimatedPatch patch(m_backdrop, 32.0f, 32.0f);
    patch.SetFrameLayout(0, -1);
    EXPECT_EQ(patch.GetFrameCount(), 1);
    patch.Update(0.1f);
    EXPECT_EQ(patch.GetCurrentFrame(), 0);
    EXPECT_TRUE(m_world.log.Contains("Backdrop 'hall': a frame layout of 0 frames, -1 in a row"));
}
